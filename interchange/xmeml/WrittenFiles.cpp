#include "interchange/xmeml/WrittenFiles.h"

#include "interchange/timing/RecordTime.h"
#include "interchange/xmeml/XmemlKept.h"
#include "interchange/xmeml/XmemlNames.h"
#include "json/EditTree.h"

#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmSourceInfo.h"

#include <algorithm>
#include <cmath>

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

using namespace Names;

/// True when `input`, which keeps `element`, keeps a file read from an xmeml
/// document and still spans what it was read as.
bool keepsItsFile(const DmSourceNode::Input& input, const Kept::KeptElement& element) {
    double start = 0.0, length = 0.0;
    if (element.text(Kept::kFile).empty() || !element.number(Kept::kStart, start) ||
        !element.number(Kept::kLength, length))
        return false;
    const DmSourceInfo* info = input.getSrcInfo();
    const std::string path = info ? info->getSequence(0).str() : std::string();
    return path == element.text(Kept::kPath) && input.getFcm().str() == element.text(Kept::kRate) &&
           start == input.getAvailIn() && length == input.getAvailLength();
}

} // namespace

std::size_t WrittenFiles::fileOf(const DmSourceNode::Input& input, const Kept::KeptElement& kept,
                                 const std::string& clipName, const FrameRate& rate, bool audio) {
    const bool asItCame = keepsItsFile(input, kept);
    double declared = 0.0;
    const bool video = !audio || kept.number(Kept::kFileVideo, declared);
    const bool sound = audio || kept.number(Kept::kFileAudio, declared);
    const DmSourceInfo* info = input.getSrcInfo();
    const std::string path = info ? info->getSequence(0).str() : std::string();
    const std::string key = asItCame       ? "k|" + kept.text(Kept::kFile)
                            : path.empty() ? "o|" + clipName + "|" + rate.fcm()
                                           : "p|" + path + "|" + rate.fcm();
    const double inputRate = RecordTime::rateOf(input.getFcm());
    const double from = inputRate > 0.0 ? inputRate : rate.value();
    const double availableIn =
        Json::EditTree::isSetPosition(input.getAvailIn()) ? input.getAvailIn() : 0.0;
    const std::int64_t start = countAt(availableIn, from, rate.value(), false);
    const std::int64_t end =
        countAt(availableIn + input.getAvailLength(), from, rate.value(), true);
    // A file written as it came: its clips' in points count from the first
    // frame a reader takes from it at the rate they are written at (each
    // clip's own), which rounds where the span above widens.
    const auto keptSpan = [&]() {
        std::pair<std::int64_t, std::int64_t> span{start, std::max(start, end)};
        const std::string& xml = kept.text(Kept::kFile);
        pugi::xml_document document;
        std::int64_t first = 0, length = 0;
        if (document.load_buffer(xml.data(), xml.size())) {
            const bool lasts = fileSpanAt(document.document_element(), rate, first, length);
            span = {first, lasts ? first + length : std::max(first, end)};
        }
        return span;
    };
    const auto found = m_byKey.find(key);
    if (found != m_byKey.end()) {
        File& file = m_files[found->second];
        if (file.kept) {
            // Read from its text once a rate, not once a clip.
            if (file.keptSpans.find(rate.fcm()) == file.keptSpans.end())
                file.keptSpans.emplace(rate.fcm(), keptSpan());
        } else {
            file.start = std::min(file.start, start);
            file.end = std::max(file.end, end);
        }
        file.audio = file.audio || sound;
        file.video = file.video || video;
        return found->second;
    }
    File file;
    file.kept = asItCame;
    file.xml = kept.text(Kept::kFile);
    file.path = path;
    file.name = path.empty() ? clipName : fileNameOf(path);
    file.wantedId = kept.text(Kept::kFileId);
    file.rate = rate;
    file.start = start;
    file.end = std::max(start, end);
    if (asItCame)
        file.keptSpans.emplace(rate.fcm(), keptSpan());
    file.audio = sound;
    file.video = video;
    if (const DmFrameResolution* resolution = input.getPrimaryRes()) {
        resolution->getWidth(file.width);
        resolution->getHeight(file.height);
    }
    m_files.push_back(std::move(file));
    m_byKey.emplace(key, m_files.size() - 1);
    return m_files.size() - 1;
}

std::pair<std::int64_t, std::int64_t> WrittenFiles::spanAt(std::size_t index,
                                                           const FrameRate& rate) const {
    const File& file = m_files[index];
    const auto kept = file.keptSpans.find(rate.fcm());
    return kept != file.keptSpans.end() ? kept->second : std::make_pair(file.start, file.end);
}

void WrittenFiles::claimIds(WriteContext& context) {
    for (File& file : m_files) {
        if (!file.kept)
            continue;
        pugi::xml_document document;
        document.load_buffer(file.xml.data(), file.xml.size());
        pugi::xml_node element = document.document_element();
        const std::string wanted = element.attribute(kId).value();
        file.id = context.uniqueId(wanted, kFile);
        if (file.id != wanted) {
            (element.attribute(kId) ? element.attribute(kId) : element.append_attribute(kId))
                .set_value(file.id.c_str());
            file.xml = xmlOf(element);
        }
    }
    for (File& file : m_files)
        if (!file.kept && !file.wantedId.empty() && context.take(file.wantedId))
            file.id = XmlOut::writable(file.wantedId);
    for (File& file : m_files)
        if (file.id.empty())
            file.id = context.uniqueId(std::string(), kFile);
}

void WrittenFiles::write(XmlOut& out, std::size_t index) {
    File& file = m_files[index];
    if (file.written) {
        out.empty(kFile, {{kId, file.id}});
        return;
    }
    file.written = true;
    if (file.kept) {
        out.raw(file.xml);
        return;
    }
    out.open(kFile, {{kId, file.id}});
    out.element(kName, file.name);
    if (!file.path.empty())
        out.element(kPathUrl, urlOfPath(file.path));
    writeRate(out, file.rate);
    out.element(kDuration, file.end - file.start);
    writeTimecode(out, file.start, file.rate, true);
    out.open(kMedia);
    if (file.video && file.width > 0 && file.height > 0) {
        out.open(kVideo);
        out.open(kSampleCharacteristics);
        out.element(kWidth, file.width);
        out.element(kHeight, file.height);
        out.close(kSampleCharacteristics);
        out.close(kVideo);
    } else if (file.video) {
        out.empty(kVideo);
    }
    if (file.audio)
        out.empty(kAudio);
    out.close(kMedia);
    out.close(kFile);
}

} // namespace ZEM_0_81::Interchange::Fcp7
