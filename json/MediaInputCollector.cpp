#include "json/MediaInputCollector.h"

#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmString.h"

namespace ZEM_0_81::Json {

void MediaInputCollector::addInput(DmSourceNode::Input* input) {
    const CoSharedPtr<DmSourceNode::Input> held(input);
    input->setPrimaryRes(primaryRes.get());
    // Without source information the first sequence is the empty text.
    const DmSourceInfo* info = input->getSrcInfo();
    if (info ? info->getSequence(0).str() == targetUrl : targetUrl.empty())
        inputs.push_front(held);
    else
        inputs.push_back(held);
}

void MediaInputCollector::addMovieInput(const std::string& path) {
    const CoSharedPtr<DmSourceInfo> info(DmSourceInfo::create());
    info->addSequence(DmString(path.c_str()));
    info->setSourceType(DmSourceInfo::kSourceTypeMovie);
    info->setFileType(DmSourceInfo::kFileTypeMovie);
    info->setOriginalSourceUID(DmString(entityReference.c_str()));
    addMediaInput(info.get());
}

void MediaInputCollector::addPathInput(const std::string& path, DmSourceInfo::FileType fileType) {
    const CoSharedPtr<DmSourceInfo> info(DmSourceInfo::create());
    info->addSequence(DmString(path.c_str()));
    info->setPath(DmString(directoryOf(path).c_str()));
    info->setFileType(fileType);
    info->setSourceType(DmSourceInfo::kSourceTypeFile);
    info->setOriginalSourceUID(DmString(entityReference.c_str()));
    addMediaInput(info.get());
}

void MediaInputCollector::addTargetUrlInput() {
    if (!inputs.empty() || targetUrl.empty())
        return;
    const CoSharedPtr<DmSourceInfo> info(DmSourceInfo::create());
    info->addSequence(DmString(targetUrl.c_str()));
    info->setFileType(DmSourceInfo::kFileTypeNone);
    info->setSourceType(DmSourceInfo::kSourceTypeNone);
    info->setOriginalSourceUID(DmString(entityReference.c_str()));
    addMediaInput(info.get());
}

void MediaInputCollector::addMediaInput(DmSourceInfo* info) {
    addInput(DmSourceNode::MediaInput::create(availIn, availLength, info, DmString(fcm.c_str()),
                                              mediaType, true));
}

std::string MediaInputCollector::directoryOf(const std::string& path) {
    const std::string::size_type separator = path.find_last_of("/\\");
    if (separator == std::string::npos || separator == 0)
        return std::string();
    return path.substr(0, separator);
}

} // namespace ZEM_0_81::Json
