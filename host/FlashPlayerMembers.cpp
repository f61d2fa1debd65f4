#include "host/FlashPlayerMembers.h"

namespace lumbra::host {

namespace {

constexpr ControlProperty kProperties[] = {
    {"totalFrames", u"TotalFrames", PropertyKind::FrameCount},
    {"playing", u"Playing", PropertyKind::Boolean},
    {"quality", u"Quality", PropertyKind::Integer},
    {"scaleMode", u"ScaleMode", PropertyKind::Integer},
    {"alignMode", u"AlignMode", PropertyKind::Integer},
    {"backgroundColor", u"BackgroundColor", PropertyKind::Integer},
    {"loop", u"Loop", PropertyKind::Boolean},
    {"movie", u"Movie", PropertyKind::Text},
    {"frameNum", u"FrameNum", PropertyKind::Integer},
    {"wmode", u"WMode", PropertyKind::Text},
    {"salign", u"SAlign", PropertyKind::Text},
    {"base", u"Base", PropertyKind::Text},
    {"scale", u"Scale", PropertyKind::Text},
    {"bgColor", u"BGColor", PropertyKind::Text},
    {"quality2", u"Quality2", PropertyKind::Text},
    {"SWRemote", u"SWRemote", PropertyKind::Text},
    {"flashVars", u"FlashVars", PropertyKind::Text},
    {"menu", u"Menu", PropertyKind::Boolean},
    {"deviceFont", u"DeviceFont", PropertyKind::Boolean},
    {"embedMovie", u"EmbedMovie", PropertyKind::Boolean},
};

constexpr ControlMethod kMethods[] = {
    {"setZoomRect", u"SetZoomRect", "iiii", ResultKind::Success},
    {"zoom", u"Zoom", "i", ResultKind::Success},
    {"pan", u"Pan", "iii", ResultKind::Success},
    {"play", u"Play", "", ResultKind::Success},
    {"stop", u"Stop", "", ResultKind::Success},
    {"back", u"Back", "", ResultKind::Success},
    {"forward", u"Forward", "", ResultKind::Success},
    {"rewind", u"Rewind", "", ResultKind::Success},
    {"stopPlay", u"StopPlay", "", ResultKind::Success},
    {"gotoFrame", u"GotoFrame", "i", ResultKind::Success},
    {"currentFrame", u"CurrentFrame", "", ResultKind::Frame},
    {"isPlaying", u"IsPlaying", "", ResultKind::Boolean},
    {"percentLoaded", u"PercentLoaded", "", ResultKind::Integer},
    {"frameLoaded", u"FrameLoaded", "i", ResultKind::Boolean},
    {"flashVersion", u"FlashVersion", "", ResultKind::Integer},
    {"loadMovie", u"LoadMovie", "is", ResultKind::Success},
    {"setVariable", u"SetVariable", "ss", ResultKind::Success},
    {"getVariable", u"GetVariable", "s", ResultKind::Text},
    {"targetGotoFrame", u"TGotoFrame", "si", ResultKind::Success},
    {"targetGotoLabel", u"TGotoLabel", "ss", ResultKind::Success},
    {"targetCurrentFrame", u"TCurrentFrame", "s", ResultKind::Frame},
    {"targetCurrentLabel", u"TCurrentLabel", "s", ResultKind::Text},
    {"targetPlay", u"TPlay", "s", ResultKind::Success},
    {"targetStopPlay", u"TStopPlay", "s", ResultKind::Success},
    {"targetGetProperty", u"TGetProperty", "si", ResultKind::Text},
    {"targetSetProperty", u"TSetProperty", "sis", ResultKind::Success},
    {"targetCallFrame", u"TCallFrame", "si", ResultKind::Success},
    {"targetCallLabel", u"TCallLabel", "ss", ResultKind::Success},
    {"targetGetPropertyNum", u"TGetPropertyNum", "si", ResultKind::Number},
    {"targetSetPropertyNum", u"TSetPropertyNum", "sif", ResultKind::Success},
};

} // namespace

std::span<const ControlProperty> controlProperties()
{
    return kProperties;
}

std::span<const ControlMethod> controlMethods()
{
    return kMethods;
}

} // namespace lumbra::host
