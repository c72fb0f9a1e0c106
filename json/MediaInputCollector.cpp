#include "json/MediaInputCollector.h"

#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmString.h"

#include <utility>

namespace ZEM_0_81::Json {

void MediaInputCollector::addInput(DmSourceNode::MediaInput* input, std::string_view path) {
    const CoSharedPtr<DmSourceNode::MediaInput> held(input);
    input->setPrimaryRes(primaryRes.get());
    if (m_count == kMaxInputs)
        return;
    if (path == targetUrl) {
        for (std::size_t i = m_count; i > 0; --i)
            m_inputs[i] = std::move(m_inputs[i - 1]);
        m_inputs[0] = held;
    } else {
        m_inputs[m_count] = held;
    }
    ++m_count;
}

void MediaInputCollector::addMovieInput(const std::string& path) {
    const CoSharedPtr<DmSourceInfo> info(DmSourceInfo::create());
    info->addSequence(DmString(std::string(path)));
    info->setSourceType(DmSourceInfo::kSourceTypeMovie);
    info->setFileType(DmSourceInfo::kFileTypeMovie);
    info->setOriginalSourceUID(entityReference);
    addMediaInput(info.get(), path);
}

void MediaInputCollector::addPathInput(const std::string& path, DmSourceInfo::FileType fileType) {
    const CoSharedPtr<DmSourceInfo> info(DmSourceInfo::create());
    info->addSequence(DmString(std::string(path)));
    info->setPath(DmString(directoryOf(path)));
    info->setFileType(fileType);
    info->setSourceType(DmSourceInfo::kSourceTypeFile);
    info->setOriginalSourceUID(entityReference);
    addMediaInput(info.get(), path);
}

void MediaInputCollector::addTargetUrlInput() {
    if (!empty() || targetUrl.empty())
        return;
    const CoSharedPtr<DmSourceInfo> info(DmSourceInfo::create());
    info->addSequence(DmString(std::string(targetUrl)));
    info->setFileType(DmSourceInfo::kFileTypeNone);
    info->setSourceType(DmSourceInfo::kSourceTypeNone);
    info->setOriginalSourceUID(entityReference);
    addMediaInput(info.get(), targetUrl);
}

void MediaInputCollector::addMediaInput(DmSourceInfo* info, std::string_view path) {
    addInput(DmSourceNode::MediaInput::create(availIn, availLength, info, fcm, mediaType, true),
             path);
}

std::string MediaInputCollector::directoryOf(const std::string& path) {
    const std::string::size_type separator = path.find_last_of("/\\");
    if (separator == std::string::npos || separator == 0)
        return std::string();
    return path.substr(0, separator);
}

} // namespace ZEM_0_81::Json
