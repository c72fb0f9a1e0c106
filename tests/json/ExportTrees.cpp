#include "tests/json/ExportTrees.h"

#include "json/OtioExport.h"

#include <gtest/gtest.h>

namespace ZEM_0_81::test {

std::string compactJson(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            out += c;
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
            out += c;
        } else if (c != ' ' && c != '\n' && c != '\t' && c != '\r') {
            out += c;
        }
    }
    return out;
}

std::string exportText(const CoSharedPtr<DmRoot>& root) {
    DmString out;
    Status status = exportOtioJson(root, out);
    EXPECT_TRUE(status) << "export failed with " << status.getCode();
    return DmStr2CStr(out).c_str();
}

DmAnimationChannel* constantChannel(float value) {
    DmAnimationChannel* channel = DmAnimationChannel::create(
        DmAnimationChannel::kInterpTypeDefault, DmAnimationChannel::kExtrapolationConstant,
        DmKeyFrame::getCurrentVersion(), 0.0);
    channel->addKeyFrame(DmKeyFrame::create2(0.0, value, DmKeyFrame::kInterpDefault,
                                             DmKeyFrame::kOrderDefault, 0.0, 0.0, 0.0, 0.0, 1));
    return channel;
}

OneLayerTree::OneLayerTree(const char* fcm) : root(DmRoot::create()) {
    DmReelNode* reel = DmReelNode::create();
    root->addReel(reel);
    composition = DmCompositionNode::create("Edit", fcm, DmFrameResolution::create());
    reel->addComposition(composition);
    track = DmTrackNode::create(0, eDmMediaVideo);
    composition->addChild(track);
    layer = DmLayerNode::create(0, eDmMediaVideo, 0, true);
    layer->setName("V1");
    track->addChild(layer);
}

void OneLayerTree::add(DmSegmentNode* segment) {
    if (layer->getNbChildren() > 0)
        layer->addChild(DmCutNode::create(eDmMediaVideo));
    layer->addChild(segment);
}

std::string oneLayerDocument(const std::string& children, const std::string& rate) {
    return compactJson(R"({"tracks":{"OTIO_SCHEMA":"Stack.1","children":[)"
                       R"({"name":"V1","OTIO_SCHEMA":"Track.1","children":[)" +
                       children +
                       R"(],"kind":"Video"}]},"name":"Edit","OTIO_SCHEMA":"Timeline.1",)"
                       R"("metadata":{"zem":{"ZEM_SCHEMA":"TimelineMetadata.1","version":"0.81"}},)"
                       R"("global_start_time":)" +
                       rationalTime("0.0", rate) + "}");
}

DmSourceNode::MediaInput* mediaInput(double availIn, double availLength, const char* fcm,
                                     DmSourceInfo::SourceType sourceType,
                                     DmSourceInfo::FileType fileType, const char* sequence,
                                     const char* uid) {
    DmSourceInfo* info = DmSourceInfo::create();
    info->addSequence(sequence);
    info->setSourceType(sourceType);
    info->setFileType(fileType);
    info->setOriginalSourceUID(uid);
    return DmSourceNode::MediaInput::create(availIn, availLength, info, fcm, eDmMediaVideo, true);
}

DmSourceNode* sourceOver(DmSourceNode::Input* input, double recLength, double relIn) {
    DmSourceNode* source = DmSourceNode::create(input, 0.0, recLength, relIn, true, false);
    source->setName("clip");
    return source;
}

} // namespace ZEM_0_81::test
