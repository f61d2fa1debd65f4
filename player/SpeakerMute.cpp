#include "player/SpeakerMute.h"

#include <mmsystem.h>

namespace lumbra {

namespace {

// The first mixer, open for as long as the object lives.
class OpenMixer {
public:
    OpenMixer() { ok_ = mixerOpen(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER) == MMSYSERR_NOERROR; }
    OpenMixer(const OpenMixer&) = delete;
    OpenMixer& operator=(const OpenMixer&) = delete;
    ~OpenMixer()
    {
        if (ok_)
            mixerClose(mixer_);
    }

    // The speaker line's mute control, if the mixer has one.
    bool findMute(DWORD& controlId) const
    {
        if (!ok_)
            return false;
        MIXERLINEA line{sizeof line};
        line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        if (mixerGetLineInfoA(object(), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
            return false;
        MIXERCONTROLA control{sizeof control};
        MIXERLINECONTROLSA controls{sizeof controls};
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
        if (mixerGetLineControlsA(object(), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
            return false;
        controlId = control.dwControlID;
        return true;
    }

    bool value(DWORD controlId, DWORD& muted, bool set) const
    {
        MIXERCONTROLDETAILS_BOOLEAN state{static_cast<LONG>(muted)};
        MIXERCONTROLDETAILS details{sizeof details};
        details.dwControlID = controlId;
        details.cChannels = 1;
        details.cbDetails = sizeof state;
        details.paDetails = &state;
        const MMRESULT result = set ? mixerSetControlDetails(object(), &details, MIXER_SETCONTROLDETAILSF_VALUE)
                                    : mixerGetControlDetailsA(object(), &details, MIXER_GETCONTROLDETAILSF_VALUE);
        muted = static_cast<DWORD>(state.fValue);
        return result == MMSYSERR_NOERROR;
    }

private:
    HMIXEROBJ object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }

    HMIXER mixer_ = nullptr;
    bool ok_ = false;
};

} // namespace

void SpeakerMute::mute()
{
    const OpenMixer mixer;
    DWORD control = 0, muted = 0;
    if (changed_ || !mixer.findMute(control) || !mixer.value(control, muted, false) || muted)
        return;
    previous_ = muted;
    DWORD on = 1;
    changed_ = mixer.value(control, on, true);
}

void SpeakerMute::restore()
{
    if (!changed_)
        return;
    changed_ = false;
    const OpenMixer mixer;
    DWORD control = 0, state = previous_;
    if (mixer.findMute(control))
        mixer.value(control, state, true);
}

} // namespace lumbra
