// The control's members as a caller of IDispatch sees them before any movie
// is loaded: names, ids, property values and the failures callers rely on.
#include "tests/control/ControlHost.h"

#include <gtest/gtest.h>

#include <olectl.h>

namespace lumbra::com::test {
namespace {

class ControlDispatch : public ::testing::Test {
protected:
    DISPID idOf(const wchar_t* name) {
        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        HRESULT hr = host.control()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        return SUCCEEDED(hr) ? id : DISPID_UNKNOWN;
    }

    ControlHost host{200, 150};
};

TEST_F(ControlDispatch, EveryMemberCallersUseIsFoundByName) {
    const wchar_t* names[] = {
        L"Playing", L"Loop", L"Movie", L"Base", L"ScaleMode", L"AlignMode", L"SAlign", L"Quality", L"Quality2",
        L"BackgroundColor", L"BGColor", L"Zoom", L"Pan", L"SetZoomRect", L"TotalFrames", L"FrameNum",
        L"CurrentFrame", L"IsPlaying", L"PercentLoaded", L"FrameLoaded", L"FlashVersion", L"GetVariable",
        L"SetVariable", L"LoadMovie", L"GotoFrame", L"Play", L"Stop", L"StopPlay", L"Back", L"Forward", L"Rewind",
        L"TGotoFrame", L"TGotoLabel", L"TCurrentFrame", L"TCurrentLabel", L"TPlay", L"TStopPlay", L"TCallFrame",
        L"TCallLabel", L"TGetProperty", L"TSetProperty", L"TGetPropertyNum", L"TSetPropertyNum", L"Menu",
        L"DeviceFont", L"EmbedMovie", L"FlashVars", L"WMode", L"SWRemote", L"Scale", L"ReadyState"};
    for (const wchar_t* name : names) EXPECT_NE(idOf(name), DISPID_UNKNOWN) << "member " << name;
}

TEST_F(ControlDispatch, IdsAreThoseOfThePublishedInterfaceWhateverTheCase) {
    EXPECT_EQ(idOf(L"Movie"), 0x66);
    EXPECT_EQ(idOf(L"movie"), 0x66);
    EXPECT_EQ(idOf(L"PLAYING"), 0x7d);
    EXPECT_EQ(idOf(L"SetVariable"), 0x97);
    EXPECT_EQ(idOf(L"GetVariable"), 0x98);
    EXPECT_EQ(idOf(L"TCallLabel"), 0x9c);
    EXPECT_EQ(idOf(L"ReadyState"), DISPID_READYSTATE);
    EXPECT_EQ(idOf(L"NoSuchMember"), DISPID_UNKNOWN);
}

TEST_F(ControlDispatch, PropertiesKeepWhatIsSet) {
    EXPECT_EQ(host.putInt(L"ScaleMode", 3), S_OK);
    EXPECT_EQ(host.getInt(L"ScaleMode"), 3);
    EXPECT_EQ(host.getText(L"Scale"), u"noscale");
    EXPECT_EQ(host.putText(L"Scale", u"ExactFit"), S_OK);
    EXPECT_EQ(host.getInt(L"ScaleMode"), 2);

    EXPECT_EQ(host.putText(L"Quality2", u"medium"), S_OK);
    EXPECT_EQ(host.getText(L"Quality2"), u"Medium");
    EXPECT_EQ(host.putInt(L"Quality", 0), S_OK);
    EXPECT_EQ(host.getText(L"Quality2"), u"Low");

    EXPECT_EQ(host.putText(L"SAlign", u"tl"), S_OK);
    EXPECT_EQ(host.getInt(L"AlignMode"), 1 | 4);
    EXPECT_EQ(host.getText(L"SAlign"), u"TL");

    EXPECT_EQ(host.putText(L"BGColor", u"#336699"), S_OK);
    EXPECT_EQ(host.getInt(L"BackgroundColor"), 0x336699);
    EXPECT_EQ(host.putInt(L"BackgroundColor", 0xABCDEF), S_OK);
    EXPECT_EQ(host.getText(L"BGColor"), u"#ABCDEF");

    EXPECT_EQ(host.putBool(L"Loop", false), S_OK);
    EXPECT_EQ(host.getInt(L"Loop"), 0);
    EXPECT_EQ(host.putText(L"Base", u"C:\\movies"), S_OK);
    EXPECT_EQ(host.getText(L"Base"), u"C:\\movies");
    EXPECT_EQ(host.putText(L"FlashVars", u"a=1&b=2"), S_OK);
    EXPECT_EQ(host.getText(L"FlashVars"), u"a=1&b=2");
    EXPECT_EQ(host.putText(L"WMode", u"Transparent"), S_OK);
    EXPECT_EQ(host.getText(L"WMode"), u"Transparent");
    EXPECT_EQ(host.putBool(L"Menu", false), S_OK);
    EXPECT_EQ(host.getInt(L"Menu"), 0);
}

TEST_F(ControlDispatch, BadValuesAreRefusedAndChangeNothing) {
    EXPECT_LT(host.putInt(L"ScaleMode", 4), 0);
    EXPECT_LT(host.putInt(L"ScaleMode", -1), 0);
    EXPECT_EQ(host.getInt(L"ScaleMode"), 0);
    EXPECT_LT(host.putText(L"Scale", u"stretch"), 0);
    EXPECT_LT(host.putText(L"Quality2", u"Ultra"), 0);
    EXPECT_EQ(host.getText(L"Quality2"), u"High");
    EXPECT_LT(host.putText(L"SAlign", u"X"), 0);
    EXPECT_LT(host.putText(L"BGColor", u"#12345"), 0);
    EXPECT_LT(host.putText(L"BGColor", u"#12345G"), 0);
    EXPECT_LT(host.putInt(L"BackgroundColor", 0x1000000), 0);
    EXPECT_EQ(host.getInt(L"BackgroundColor"), -1);
    EXPECT_LT(host.putInt(L"TotalFrames", 3), 0) << "read-only";
}

TEST_F(ControlDispatch, CallsAreCheckedBeforeTheyRun) {
    EXPECT_EQ(host.call(L"GotoFrame", {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(host.call(L"GotoFrame", {intArg(1), intArg(2)}), DISP_E_BADPARAMCOUNT);
    Bstr word(u"seven");
    UINT argError = 99;
    VARIANT args[] = {textArg(word)};
    DISPPARAMS params = {args, nullptr, 1, 0};
    EXPECT_EQ(host.control()->Invoke(0x7f, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, &argError),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 0u);
    EXPECT_EQ(host.control()->Invoke(0x12345, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    // Numbers given as text are converted as OLE Automation converts them.
    Bstr three(u"3");
    EXPECT_EQ(host.put(L"ScaleMode", textArg(three)), S_OK);
    EXPECT_EQ(host.getInt(L"ScaleMode"), 3);
}

TEST_F(ControlDispatch, WithoutAMovieMovieCallsFailButSettingsStay) {
    EXPECT_EQ(host.getInt(L"ReadyState"), 0);
    EXPECT_LT(host.call(L"TotalFrames", {}), 0);
    EXPECT_LT(host.call(L"CurrentFrame", {}), 0);
    Bstr name(u"x"), value(u"1");
    EXPECT_LT(host.call(L"SetVariable", {textArg(name), textArg(value)}), 0);
    EXPECT_LT(host.call(L"GetVariable", {textArg(name)}), 0);
    EXPECT_LT(host.call(L"GotoFrame", {intArg(0)}), 0);
    EXPECT_EQ(host.getInt(L"PercentLoaded"), 0);
    EXPECT_EQ(host.getText(L"Movie"), u"");
    // Playing without a movie says whether the next one starts playing.
    EXPECT_EQ(host.getInt(L"Playing"), -1);
    EXPECT_EQ(host.call(L"Stop", {}), S_OK);
    EXPECT_EQ(host.getInt(L"Playing"), 0);
    Bstr url(u"movie.swf");
    EXPECT_EQ(host.call(L"LoadMovie", {intArg(1), textArg(url)}), E_FAIL) << "no movie to load a level over";
}

TEST_F(ControlDispatch, FlashVersionMatchesTheFileVersion) {
    int version = host.getInt(L"FlashVersion");
    EXPECT_EQ(version >> 16, 7);
    EXPECT_EQ(version & 0xFFFF, 0);
}

TEST_F(ControlDispatch, ActivationGivesAChildWindowOfTheSite) {
    HWND window = host.controlWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(host.activations, 1);
    RECT r;
    GetClientRect(window, &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 150);
    auto inPlace = ComPtr<IDispatch>(host.control()).query<IOleInPlaceObject>();
    RECT moved = {10, 10, 110, 60};
    EXPECT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    GetClientRect(window, &r);
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.bottom, 50);
    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(host.activations, 0);
}

TEST_F(ControlDispatch, WithoutAMovieDrawingShowsTheBackgroundColour) {
    auto view = ComPtr<IDispatch>(host.control()).query<IViewObject2>();
    ASSERT_TRUE(view);
    Picture picture(20, 20);
    RECTL bounds = {0, 0, 20, 20};
    EXPECT_EQ(host.putInt(L"BackgroundColor", 0x00FF00), S_OK);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.dc(), &bounds, nullptr, nullptr, 0),
              S_OK);
    EXPECT_EQ(picture.pixel(10, 10), 0x00FF00u);
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, picture.dc(), &bounds, nullptr, nullptr, 0),
              DV_E_DVASPECT);
}

} // namespace
} // namespace lumbra::com::test
