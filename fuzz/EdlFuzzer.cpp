// libFuzzer target: arbitrary bytes as a CMX 3600 EDL, read into a composition
// at a rate the first byte picks; whatever reads is asked everything a host
// asks, written as an EDL, and that list must read back reporting nothing but
// what the edit tree keeps without playing (which it says again), and write
// back the same text. The composition must also write as standard OTIO that
// reads back, so that everything the reader keeps in standard OTIO's homes is
// well formed. Any crash, hang, leak or sanitizer report is a finding.

#include "fuzz/FuzzChecks.h"
#include "interchange/Edl.h"
#include "interchange/StandardOtio.h"
#include "interchange/kept/ForeignMembers.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace ZEM_0_81;
using fuzz::require;

namespace {

bool endsWith(const String& text, const char* end) {
    const std::size_t length = std::strlen(end);
    return text.size() >= length &&
           std::memcmp(text.c_str() + text.size() - length, end, length) == 0;
}

/// The rate a list is read at: the default, or one with drop frame, or another.
Rational rateOf(const std::uint8_t* data, std::size_t size) {
    const Rational rates[] = {Rational(), Rational(60000, 1001), Rational(25, 1),
                              Rational(24000, 1001)};
    return rates[size > 0 ? data[0] % 4 : 0];
}

std::string written(const Composition& composition, LossReport& losses) {
    String text;
    String message;
    require(static_cast<bool>(Edl::write(composition, Edl::WriteOptions(), text, losses, &message)),
            "a composition read from a list writes as a list");
    return std::string(text.c_str(), text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    (void)Edl::looksLikeEdl(text, size);
    (void)detectDialect(text, size);

    const Rational rate = rateOf(data, size);
    SharedPtr<Composition> composition;
    LossReport losses;
    String message;
    if (!Edl::read(text, size, rate, "fuzz", composition, losses, &message))
        return 0;
    fuzz::query(*composition, fuzz::frameFrom(data, size));

    const std::string list = written(*composition, losses);
    SharedPtr<Composition> again;
    // Read at the same rate: a list does not say it.
    require(static_cast<bool>(
                Edl::read(list.data(), list.size(), rate, "again", again, losses, &message)),
            "a written list reads back");
    for (std::uint32_t i = 0; i < losses.getCount(); ++i) {
        String path, schema, what;
        losses.getEntry(i, path, schema, what);
        require(endsWith(what, Interchange::ForeignMembers::Leftovers::kKeptNote),
                "reading a written list loses nothing but what is kept without playing");
    }
    LossReport more;
    require(written(*again, more) == list, "a written list, read and written, is the same text");

    String standard;
    require(static_cast<bool>(StandardOtio::write(*composition, standard, &message)),
            "a composition read from a list writes as standard OTIO");
    SharedPtr<Composition> fromStandard;
    require(static_cast<bool>(StandardOtio::read(standard.c_str(), standard.size(), "standard",
                                                 fromStandard, more, &message)),
            "the standard OTIO written for it reads back");
    return 0;
}
