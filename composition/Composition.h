#pragma once

#include "composition/CompositionApi.h"
#include "outside/core/Bounds.h"
#include "outside/core/Rational.h"
#include "outside/core/RefCounted.h"
#include "outside/core/SharedPtr.h"
#include "outside/core/Status.h"
#include "outside/core/String.h"
#include "outside/core/Subject.h"
#include "outside/core/Time.h"

#include <cstdint>

class DmRoot;

namespace ZEM_0_81 {

/// An editorial composition: an identifier and a timeline held in two
/// interchangeable forms, the edit tree (DmRoot) and JSON text in either of two
/// dialects (the edit tree's own JSON, and OTIO JSON). Either form may be given;
/// the other is produced when first asked for and kept until the content changes.
///
/// Compositions are held through SharedPtr<Composition> and made only by the two
/// create factories and clone. Operations report failures as Status values and
/// never throw (allocation failures excepted). Const operations may build the
/// tree or fill the JSON caches, so one composition must not be used from two
/// threads at once; its reference count is thread-safe.
///
/// Observers attached through the Subject base are notified once by every setJson
/// and setTree, after the change, on the calling thread.
class ZEM_API Composition : public RefCountedMT, public Subject {
public:
    /// The JSON dialects a composition reads and writes.
    enum class JsonType : std::int32_t {
        DmTree = 0, ///< the edit tree's own JSON
        Otio = 1,   ///< OpenTimelineIO JSON with the product metadata
    };

    /// A new composition holding one reel with one empty composition node named
    /// `name`, at `rate`. Fails, leaving `out` as it was, when the rate has no
    /// frame-rate text (a numerator <= 0 or a denominator of 0).
    static Status create(SharedPtr<Composition>& out, const String& id, const char* name,
                         const Rational& rate);

    /// A new composition holding a deep copy of `root`.
    static SharedPtr<Composition> create(const String& id, const DmRoot& root);

    /// A new, independent composition with a copy of this one's tree and texts.
    virtual SharedPtr<Composition> clone() const;

    ~Composition() override;

    /// The identifier given at creation.
    String getId() const;

    /// The edit tree, imported from the held JSON text if needed. On failure
    /// `status` is set: NoData (512) without any content (the reference is then to
    /// a shared empty root), DmTreeJsonImportFailed (515) or OtioImportFailed (517)
    /// when the text could not be imported (the reference is then to what the
    /// import built, or to the empty root). `status` is not touched on success.
    /// The reference stays valid until the content is replaced (setJson, setTree,
    /// assignment) or the composition is destroyed.
    const DmRoot& getTree(Status& status) const;

    /// Replaces the content by a deep copy of `root`; both JSON texts are dropped.
    void setTree(const DmRoot& root);

    /// The composition as JSON of the given dialect: the text given to setJson, or
    /// text produced from the tree (then kept). Fails with 512, 515 or 517 when no
    /// tree can be had, and with JsonGenerationFailed (516) when no text can be
    /// produced; `out` is then untouched. A type other than DmTree or Otio returns
    /// success and leaves `out` untouched.
    Status getJson(JsonType type, String& out) const;

    /// Replaces the content by `json` of the given dialect. The text is not parsed
    /// here but when a tree is next needed; an empty text, or a type other than
    /// DmTree or Otio, leaves the composition without content.
    void setJson(JsonType type, const String& json);

    /// The length of the composition in frames, at the rate of its start timecode.
    /// Fails with 512, 515 or 517 (time untouched), or with the failure of reading
    /// the frame-rate text (ticks set, rate untouched).
    Status getDuration(Time& time) const;

    /// The start timecode of the composition in frames, at its rate; failures as
    /// for getDuration.
    Status getStartTime(Time& time) const;

    /// The picture area covered at the frame `time.getNbTicks()`: the union of the
    /// resolutions of the sources playing then, grown by the paint strokes shown
    /// then. Fails with 512, 515 or 517 (bounds untouched), SourceWithoutInput
    /// (528) or InputWithoutResolution (529) (bounds as gathered before).
    Status getOutputBounds(const Time& time, Bounds& bounds) const;

    struct Impl;

protected:
    Composition(const String& id, const char* name, const char* fcm);
    Composition(const String& id, const DmRoot& root);
    Composition(const Composition& other);
    Composition& operator=(const Composition& other);

private:
    /// The library's own readers hand over a tree they have just built, which
    /// nothing else holds, rather than have it copied (see CompositionImpl.h).
    friend SharedPtr<Composition> adoptTree(const String& id, DmRoot* root);

    Impl* m_impl;
};

} // namespace ZEM_0_81
