#include "composition/Composition.h"

#include "composition/AdoptTree.h"
#include "composition/CompositionImpl.h"
#include "composition/OtioImport.h"
#include "outside/core/FPSUtils.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmJsonImporter.h"
#include "outside/dmtree/DmReelNode.h"
#include "outside/dmtree/DmRoot.h"
#include "outside/dmtree/DmString.h"
#include "outside/dmtree/DmTreeJsonBuilder.h"
#include "json/OtioExport.h"

#include <memory>

namespace ZEM_0_81 {

namespace {

// A deep copy of `root`, or none when the copy is not a root.
CoSharedPtr<DmRoot> copyTree(const DmRoot& root) {
    const CoSharedPtr<DmPropertySet> copy = root.clone();
    return CoSharedPtr<DmRoot>(dynamic_cast<DmRoot*>(copy.get()));
}

CoSharedPtr<DmRoot> copyTree(const CoSharedPtr<DmRoot>& root) {
    return root ? copyTree(*root) : CoSharedPtr<DmRoot>();
}

} // namespace

// --- private record ----------------------------------------------------------

DmRoot* Composition::Impl::emptyRoot() {
    // Made on first use (thread-safe static initialisation) and never released:
    // callers may hold references to it for as long as the process lives.
    static DmRoot* const root = [] {
        DmRoot* made = DmRoot::create();
        made->incref();
        return made;
    }();
    return root;
}

DmRoot* Composition::Impl::ensureTree(Status& status) {
    if (tree)
        return tree.get();

    if (!dmTreeJson.empty()) {
        DmRoot* imported = nullptr;
        const DmStatus result = DmJsonImporter::importRootFromStr(dmTreeJson.c_str(), imported);
        if (!result.ok())
            status.set(Status::DmTreeJsonImportFailed);
        tree = imported;
        return tree ? tree.get() : emptyRoot();
    }

    if (!otioJson.empty()) {
        tree = DmRoot::create();
        // A failed import keeps what it built: the failure is reported once, and
        // later calls work on that tree without error.
        if (!importOtioJson(otioJson.c_str(), tree))
            status.set(Status::OtioImportFailed);
        return tree.get();
    }

    status.set(Status::NoData);
    return emptyRoot();
}

// --- construction ------------------------------------------------------------

Composition::Composition(const String& id, const char* name, const char* fcm) : m_impl(nullptr) {
    // Built aside and handed over at the end: a constructor that throws runs no
    // destructor, so nothing may be left owned by a raw pointer on the way.
    std::unique_ptr<Impl> impl(
        new Impl{id, CoSharedPtr<DmRoot>(DmRoot::create()), String(), String()});
    const CoSharedPtr<DmReelNode> reel(DmReelNode::create());
    impl->tree->addReel(reel.get());
    const CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
    const CoSharedPtr<DmCompositionNode> node(
        DmCompositionNode::create(DmString(name), DmString(fcm), resolution.get()));
    reel->addComposition(node.get());
    m_impl = impl.release();
}

Composition::Composition(const String& id, const DmRoot& root)
    : m_impl(new Impl{id, copyTree(root), String(), String()}) {}

Composition::Composition(const Composition& other)
    : RefCountedMT(other), Subject(other),
      m_impl(new Impl{other.m_impl->id, copyTree(other.m_impl->tree), other.m_impl->dmTreeJson,
                      other.m_impl->otioJson}) {}

Composition& Composition::operator=(const Composition& other) {
    if (this == &other)
        return *this;
    Subject::operator=(other);
    m_impl->id = other.m_impl->id;
    m_impl->tree = copyTree(other.m_impl->tree);
    m_impl->dmTreeJson = other.m_impl->dmTreeJson;
    m_impl->otioJson = other.m_impl->otioJson;
    return *this;
}

Composition::~Composition() {
    delete m_impl;
}

Status Composition::create(SharedPtr<Composition>& out, const String& id, const char* name,
                           const Rational& rate) {
    String fcm;
    const Status status = FPSUtils::getFPSString(rate, fcm);
    if (!status)
        return status;
    out = new Composition(id, name, fcm.c_str());
    return status;
}

SharedPtr<Composition> Composition::create(const String& id, const DmRoot& root) {
    return SharedPtr<Composition>(new Composition(id, root));
}

SharedPtr<Composition> adoptTree(const String& id, DmRoot* root) {
    // Made with its own small tree first, which the given one then replaces.
    SharedPtr<Composition> composition(new Composition(id, "", ""));
    composition->m_impl->tree = root;
    return composition;
}

SharedPtr<Composition> Composition::clone() const {
    return SharedPtr<Composition>(new Composition(*this));
}

// --- content -----------------------------------------------------------------

String Composition::getId() const {
    return m_impl->id;
}

const DmRoot& Composition::getTree(Status& status) const {
    return *m_impl->ensureTree(status);
}

void Composition::setTree(const DmRoot& root) {
    m_impl->dmTreeJson = String();
    m_impl->otioJson = String();
    m_impl->tree = copyTree(root);
    notify(NotificationHint());
}

void Composition::setJson(JsonType type, const String& json) {
    // String(json), not json: with the const operand the choice would be a const
    // temporary, which cannot be moved from, and the text would be copied twice.
    m_impl->dmTreeJson = type == JsonType::DmTree ? String(json) : String();
    m_impl->otioJson = type == JsonType::Otio ? String(json) : String();
    m_impl->tree = CoSharedPtr<DmRoot>();
    notify(NotificationHint());
}

Status Composition::getJson(JsonType type, String& out) const {
    if (type != JsonType::DmTree && type != JsonType::Otio)
        return Status();

    String& cache = type == JsonType::DmTree ? m_impl->dmTreeJson : m_impl->otioJson;
    if (!cache.empty()) {
        out = cache;
        return Status();
    }

    Status status;
    m_impl->ensureTree(status);
    if (!status)
        return status;
    if (!m_impl->tree)
        return Status(Status::NoData);

    // Each text is handed over, not copied, and the caller's copy shares it.
    String produced;
    if (type == JsonType::DmTree) {
        DmString text;
        if (!DmTreeJsonBuilder::generateStr(m_impl->tree.get(), text).ok())
            return Status(Status::JsonGenerationFailed);
        produced = String(text.release());
    } else if (!exportOtioJson(m_impl->tree, produced)) {
        return Status(Status::JsonGenerationFailed);
    }
    cache = produced;
    out = cache;
    return Status();
}

} // namespace ZEM_0_81
