// "MCI" on the system's real media control interface under Wine, with an
// audio output the tests give it (ALSA's null device, see CMakeLists.txt)
// and media the tests write: a fake player whose Flash window is a real
// window of the test holds the playback windows; notices arrive through the
// message loop the test pumps.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <fstream>

#include "MediaFiles.h"
#include "host/win32/MciClass.h"
#include "host/win32/WindowClass.h"
#include "script/runtime/Collector.h"
#include "tests/host/win32/WindowTestSupport.h"
#include "tests/package/TempFolder.h"

namespace lumbra::test {
namespace {

using namespace std::chrono_literals;

// Wine hands top-level windows to a window manager and waits for one at
// each hide; Xvfb runs none. Keep this program's windows to Wine itself.
const bool unmanagedWindows = [] {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\mci_tests.exe\\X11 Driver", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), sizeof(L"N"));
    RegCloseKey(key);
    return true;
}();

// A script string literal of a path.
std::string literal(const std::filesystem::path& path)
{
    std::string out = "'";
    for (const char c : path.string()) {
        if (c == '\\' || c == '\'')
            out += '\\';
        out += c;
    }
    return out + "'";
}

// The system's text for a status code.
std::string systemText(MCIERROR code)
{
    char text[128] = {};
    mciGetErrorStringA(code, text, sizeof text);
    return text;
}

// A device opened by alias, asked from outside the engine.
MCIERROR askAlias(const char* alias)
{
    char answer[64];
    return mciSendStringA((std::string("status ") + alias + " mode").c_str(), answer, sizeof answer, nullptr);
}

// What the system answers for an alias that names no open device (it takes
// the name for a file name, of no known type).
MCIERROR notOpen()
{
    const MCIERROR status = askAlias("never_opened");
    EXPECT_NE(status, 0u);
    return status;
}

class Mci : public ::testing::Test {
protected:
    Mci()
    {
        player.mainWindowHandle = main.hwnd();
        player.flashWindowHandle = flash.hwnd();
        startEngine();
        writeWave(folder / "second.wav", 1000);
        writeWave(folder / "short.wav", 200);
        std::ofstream(folder / "text.wav") << "This is not a wave file, whatever its name says.\n";
    }

    void startEngine()
    {
        orvet::HostClasses classes;
        classes.host = &player;
        classes.mci = host::registerMciClass;
        classes.window = host::registerWindowClass;
        host = std::make_unique<ScriptHost>(classes);
    }

    std::string value(const std::string& program) { return host->value(program); }
    std::string path(const char* name) { return literal(folder / name); }
    // Opens a file in a new object `m` (notices listed in `notices`); the
    // status code of the open.
    std::string openInM(const char* name)
    {
        return value("var notices = []; var m = new MCI(); m.fileName = " + path(name)
                     + "; m.onNotify = function(code) { notices.push(code + (this == m ? '' : ' elsewhere')); };"
                       " m.command = 'open'; m.error");
    }
    bool waitFor(const std::string& condition, std::chrono::milliseconds timeout = 10s)
    {
        return pumpUntil([&] { return value(condition) == "true"; }, timeout);
    }

    FakePlayerServices player;
    TestWindow main{L"Main window", nullptr, {40, 40, 520, 420}};
    TestWindow flash{L"Flash window", main.hwnd(), {0, 0, 480, 380}};
    TempFolder folder;
    std::unique_ptr<ScriptHost> host;
};

TEST_F(Mci, WineHasAnAudioOutput)
{
    // Without one, every wave device refuses to open (see CMakeLists.txt).
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "no wave output: is ALSA_CONFIG_PATH set to the null device?";
}

TEST_F(Mci, NewObjectsStartClosedWithTheirDefaults)
{
    EXPECT_EQ(value("var m = new MCI(); m.toString() + ' ' + MCI.toString() + ' ' + MCI().toString()"),
              "[object MCI] [object MCI] [object MCI]");
    EXPECT_EQ(value("[m.deviceID, m.from, m.to, m.frames, m.channel, m.track].join()"), "0,-1,-1,0,0,0");
    EXPECT_EQ(value("m.deviceType === null && m.fileName === null && m.alias === null && m.onNotify === null"), "true");
    EXPECT_EQ(value("[m.notify, m.wait, m.sharable, m.recordMode, m.error, m.left, m.top, m.width, m.height].join()"),
              "false,false,false,false,false,0,0,0,0");
    EXPECT_EQ(value("typeof m.command"), "undefined");
    // The global is a namespace of methods only.
    EXPECT_EQ(value("MCI.fileName = 'x'; typeof MCI.deviceID + ' ' + typeof MCI.position"), "undefined undefined");
    EXPECT_EQ(value("new MCI().fileName === null"), "true");
    // Each object has its hidden playback window inside the Flash window.
    const HWND playback = FindWindowExW(flash.hwnd(), nullptr, L"Lumbra_Playback_Window", L"Playback");
    ASSERT_NE(playback, nullptr);
    EXPECT_FALSE(IsWindowVisible(playback));
    EXPECT_EQ(value("m.playerWindow.handle"), std::to_string(reinterpret_cast<std::uintptr_t>(playback)));
    EXPECT_EQ(value("m.playerWindow.width + ' ' + m.playerWindow.height"), "0 0");
}

TEST_F(Mci, PropertiesOfTheWrongKindAreIgnored)
{
    value("var m = new MCI(); function f() {} m.onNotify = f;"
          "m.from = 'x'; m.to = 2.5; m.frames = true; m.track = null; m.notify = 'yes'; m.wait = 1.5;"
          "m.left = '3'; m.top = null; m.width = new Object(); m.channel = 'left'; m.onNotify = 5; m.command = 7;"
          "m.deviceID = 9; m.length = 5; m.position = 5; m.error = true; m.playerWindow = null;");
    EXPECT_EQ(value("[m.from, m.to, m.frames, m.track, m.notify, m.wait, m.left, m.top, m.width, m.channel, "
                    "m.deviceID, m.error].join()"),
              "-1,-1,0,0,false,false,0,0,0,0,0,false");
    EXPECT_EQ(value("m.onNotify === f && m.playerWindow != null"), "true");
    // Right kinds: Integers, Booleans or Integers for flags, Floats truncated
    // for the rectangle, any value as text.
    value("m.from = 5; m.to = 9; m.frames = 2; m.track = 3; m.notify = true; m.wait = 1; m.sharable = 0;"
          "m.recordMode = true; m.left = 10.9; m.top = -4.2; m.width = 64; m.height = 48.5; m.fileName = 12;"
          "m.deviceType = 2.5; m.alias = 'mine'");
    EXPECT_EQ(value("[m.from, m.to, m.frames, m.track, m.notify, m.wait, m.sharable, m.recordMode, m.left, m.top, "
                    "m.width, m.height, m.fileName, m.deviceType, m.alias].join()"),
              "5,9,2,3,true,true,false,true,10,-4,64,48,12,2.5,mine");
    // A text conversion that lets the object go stores nothing, and breaks nothing.
    EXPECT_EQ(value("var d = new MCI(); var o = new Object(); o.toString = function() { delete d; return 'x'; };"
                    "d.fileName = o; typeof d"),
              "undefined");
    // Unknown command names do nothing; known ones are compared without case.
    EXPECT_EQ(value("m.command = 'dance'; m.error"), "false");
    EXPECT_EQ(value("m.command = 'PLAY'; m.error + ' ' + (m.errorMsg != '')"), "true true");
}

TEST_F(Mci, CommandsOnAClosedDeviceFailWithTheSystemsCode)
{
    value("var m = new MCI()");
    for (const char* command : {"play", "pause", "stop", "resume", "record", "back", "step", "prev", "next", "seek",
                                "eject", "save", "update", "where", "close"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(value("m.command = '" + std::string(command) + "'; m.error + ' ' + m.deviceID"), "true 0");
        EXPECT_EQ(value("m.errorMsg"), systemText(MCIERR_INVALID_DEVICE_ID));
    }
    // Status and capability reads fail the same way and answer 0.
    EXPECT_EQ(value("[m.length, m.position, m.mode, m.canPlay, m.error].join()"), "0,0,0,false,true");
    EXPECT_EQ(value("m.from + ' ' + m.width"), "-1 0");
}

TEST_F(Mci, GeneratedAliasesAreNumberedPerEngineAndKept)
{
    EXPECT_EQ(openInM("second.wav"), "false");
    EXPECT_EQ(value("m.alias"), "_Orvet_MCI_0");
    EXPECT_EQ(value("var n = new MCI(); n.fileName = " + path("short.wav") + "; n.command = 'open'; n.alias"),
              "_Orvet_MCI_1");
    EXPECT_EQ(askAlias("_Orvet_MCI_0"), 0u);
    // Reopening keeps the alias; an explicit one is used as given.
    EXPECT_EQ(value("m.command = 'close'; m.deviceID + ' ' + m.error"), "0 false");
    EXPECT_EQ(askAlias("_Orvet_MCI_0"), notOpen());
    EXPECT_EQ(value("m.command = 'open'; m.alias + ' ' + m.error + ' ' + (m.deviceID > 0)"), "_Orvet_MCI_0 false true");
    EXPECT_EQ(value("var o = new MCI(); o.alias = 'named'; o.fileName = " + path("short.wav")
                    + "; o.command = 'open'; o.alias + ' ' + o.error"),
              "named false");
    EXPECT_EQ(askAlias("named"), 0u);
    // A second open under the same alias is refused and keeps the device.
    EXPECT_EQ(value("var id = o.deviceID; o.command = 'open'; o.error + ' ' + (o.deviceID == id)"), "true true");
}

TEST_F(Mci, AWavePlayedToItsEndNotifiesSuccess)
{
    EXPECT_EQ(openInM("short.wav"), "false");
    EXPECT_EQ(value("m.deviceType === null && m.deviceID > 0 && m.mode == 525"), "true"); // MCI_MODE_STOP
    EXPECT_EQ(value("m.notify = true; m.command = 'play'; m.error"), "false");
    ASSERT_TRUE(waitFor("notices.length > 0"));
    EXPECT_EQ(value("notices.join()"), "1"); // MCI_NOTIFY_SUCCESSFUL, with the object as receiver
    EXPECT_EQ(value("m.position"), "200");
    // Stopped during a notifying play: that play is aborted, the stop succeeds.
    value("notices = []; m.from = 0; m.command = 'play'; m.command = 'stop'");
    ASSERT_TRUE(waitFor("notices.length >= 2"));
    EXPECT_EQ(value("notices.join()"), "4,1");
}

TEST_F(Mci, PositionsLengthsAndTimeFormats)
{
    EXPECT_EQ(openInM("second.wav"), "false");
    EXPECT_EQ(value("[m.timeFormat, m.length, m.start, m.position, m.tracks].join()"), "0,1000,0,0,1");
    // Bytes (MCI_FORMAT_BYTES): 8000 one-byte samples a second.
    EXPECT_EQ(value("m.timeFormat = 8; m.timeFormat + ' ' + m.length + ' ' + m.error"), "8 8000 false");
    EXPECT_EQ(value("m.timeFormat = 0; m.length"), "1000");
    EXPECT_EQ(value("[m.canPlay, m.canRecord, m.canEject, m.canStep].join()"), "true,true,false,false");
    // Playing a range with waiting ends at its end.
    EXPECT_EQ(value("m.wait = true; m.from = 100; m.to = 400; m.command = 'play'; m.position + ' ' + m.error"),
              "400 false");
    EXPECT_EQ(value("m.command = 'prev'; m.position + ' ' + m.from"), "0 -1");
    EXPECT_EQ(value("m.command = 'next'; m.position"), "1000");
    // A seek forgets "from", so the next play starts where the seek ended.
    EXPECT_EQ(value("m.from = 0; m.to = 700; m.command = 'seek'; m.from + ' ' + m.position"), "-1 700");
    EXPECT_EQ(value("m.wait = false; m.to = -1; m.command = 'play'; var p = m.position; m.command = 'stop'; p >= 700"),
              "true");
    // "channel": 0 to 2 select channels on the device; 3 is only stored.
    EXPECT_EQ(value("m.channel = 1; m.channel + ' ' + m.error"), "1 false");
    EXPECT_EQ(value("m.to = 5000; m.command = 'seek'; m.channel = 3; m.channel + ' ' + m.error"), "3 true");
}

TEST_F(Mci, RecordsIntoANewWaveAndSavesIt)
{
    // An empty file name opens a new recording; the null device records silence.
    EXPECT_EQ(value("var r = new MCI(); r.deviceType = 'waveaudio'; r.fileName = ''; r.command = 'open'; r.error"),
              "false");
    EXPECT_EQ(value("r.wait = true; r.to = 300; r.command = 'record'; r.error"), "false");
    EXPECT_EQ(value("r.fileName = " + path("recorded.wav") + "; r.command = 'save'; r.error"), "false");
    EXPECT_EQ(value("r.command = 'close'; r.error"), "false");
    std::ifstream saved(folder / "recorded.wav", std::ios::binary);
    char riff[4] = {};
    saved.read(riff, 4);
    EXPECT_EQ(std::string(riff, 4), "RIFF");
    EXPECT_EQ(value("var q = new MCI(); q.fileName = " + path("recorded.wav")
                    + "; q.command = 'open'; q.error + ' ' + (q.length > 0)"),
              "false true");
}

// The status code of opening a device directly, closing it again.
MCIERROR openDirectly(const char* type, const std::string& file)
{
    MCI_OPEN_PARMSA params{};
    params.lpstrDeviceType = type;
    params.lpstrElementName = file.empty() ? nullptr : file.c_str();
    const MCIERROR status =
        mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | (file.empty() ? 0 : MCI_OPEN_ELEMENT), reinterpret_cast<DWORD_PTR>(&params));
    if (status == 0)
        mciSendCommandA(params.wDeviceID, MCI_CLOSE, 0, 0);
    return status;
}

TEST_F(Mci, FailingOpensReportTheSystemsTexts)
{
    const struct {
        std::string setup;
        MCIERROR expected;
    } cases[] = {
        {"m.fileName = " + path("missing.wav"), MCIERR_FILE_NOT_FOUND},
        {"m.deviceType = 'nosuchdevice'; m.fileName = " + path("second.wav"),
         openDirectly("nosuchdevice", (folder / "second.wav").string())},
        // Not media: refused by the wave driver, whatever its name says.
        {"m.deviceType = 'waveaudio'; m.fileName = " + path("text.wav"),
         openDirectly("waveaudio", (folder / "text.wav").string())},
        // CD audio on a machine without a drive.
        {"m.deviceType = 'cdaudio'", openDirectly("cdaudio", "")},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.setup);
        ASSERT_NE(item.expected, 0u);
        value("var m = new MCI(); " + item.setup + "; m.command = 'open'");
        EXPECT_EQ(value("m.error + ' ' + m.deviceID"), "true 0");
        EXPECT_EQ(value("m.errorMsg"), systemText(item.expected));
        EXPECT_EQ(value("m.command = 'play'; m.errorMsg"), systemText(MCIERR_INVALID_DEVICE_ID));
    }
    // The raw interface answers with the same texts.
    EXPECT_EQ(value("MCI.sendCmdString('open ' + " + path("missing.wav") + " + ' alias gone')"),
              systemText(MCIERR_FILE_NOT_FOUND));
    EXPECT_EQ(value("MCI.sendCmdString('open cdaudio alias cd')"), systemText(openDirectly("cdaudio", "")));
}

TEST_F(Mci, RawCommandStringsAndInstalledDevices)
{
    const std::string open = "open " + (folder / "second.wav").string() + " type waveaudio alias raw";
    EXPECT_EQ(value("MCI.sendCmdString(" + literal(open) + ")"), "1");
    EXPECT_EQ(value("MCI.sendCmdString('status raw length')"), "1000");
    EXPECT_EQ(value("MCI.sendCmdString('status raw mode')"), "stopped");
    // On an object, the raw command's status is the object's last error.
    EXPECT_EQ(value("var m = new MCI(); m.sendCmdString('status nothing mode') == m.errorMsg && m.error"), "true");
    EXPECT_EQ(value("m.sendCmdString('close raw') + m.error"), "false");
    EXPECT_EQ(value("typeof MCI.sendCmdString() + typeof MCI.sendCmdString(5)"), "undefinedundefined");
    // The system's list of installed devices, in its order.
    char name[64] = {};
    DWORD count = 0;
    MCI_SYSINFO_PARMSA info{};
    info.lpstrReturn = reinterpret_cast<char*>(&count);
    info.dwRetSize = sizeof count;
    info.wDeviceType = MCI_ALL_DEVICE_ID;
    ASSERT_EQ(LOWORD(mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_QUANTITY,
                                     reinterpret_cast<DWORD_PTR>(&info))), 0);
    std::string expected;
    for (DWORD i = 1; i <= count; ++i) {
        info.lpstrReturn = name;
        info.dwRetSize = sizeof name;
        info.dwNumber = i;
        mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_NAME, reinterpret_cast<DWORD_PTR>(&info));
        expected += (i > 1 ? "," : "") + std::string(name);
    }
    EXPECT_NE(expected.find("waveaudio"), std::string::npos);
    EXPECT_EQ(value("MCI.getDevices().join()"), expected);
    EXPECT_EQ(value("new MCI().getDevices().length"), std::to_string(count));
}

TEST_F(Mci, VideoPlaysInsideTheFlashWindowAtItsSourceSize)
{
    writeVideo(folder / "clip.avi", 40, 30, 3);
    EXPECT_EQ(openInM("clip.avi"), "false");
    // Opened with width and height 0: the video's own size, at left and top.
    const HWND playback = FindWindowExW(flash.hwnd(), nullptr, L"Lumbra_Playback_Window", L"Playback");
    ASSERT_NE(playback, nullptr);
    EXPECT_TRUE(IsWindowVisible(playback));
    RECT rect;
    GetWindowRect(playback, &rect);
    MapWindowPoints(HWND_DESKTOP, flash.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right - rect.left, 40);
    EXPECT_EQ(rect.bottom - rect.top, 30);
    EXPECT_EQ(value("[m.width, m.height, m.length, m.canStep].join()"), "0,0,3,true");
    EXPECT_EQ(value("m.command = 'where'; m.width + ' ' + m.height + ' ' + m.error"), "40 30 false");
    // Played to its end, with a notice.
    EXPECT_EQ(value("m.notify = true; m.command = 'play'; m.error"), "false");
    ASSERT_TRUE(waitFor("notices.length > 0"));
    EXPECT_EQ(value("notices.join() + ' ' + m.position"), "1 2");
    EXPECT_EQ(value("m.to = 0; m.command = 'seek'; m.frames = 2; m.command = 'step'; m.position + ' ' + m.error"),
              "2 false");
    EXPECT_EQ(value("m.frames = 1; m.command = 'back'; m.position + ' ' + m.error"), "1 false");
    EXPECT_EQ(value("m.command = 'update'; m.error"), "false");
    // Closing hides the window; a set rectangle places and sizes the next.
    EXPECT_EQ(value("m.command = 'close'; m.deviceID"), "0");
    EXPECT_FALSE(IsWindowVisible(playback));
    EXPECT_EQ(value("m.left = 30; m.top = 20; m.width = 64; m.height = 48; m.command = 'open'; m.error"), "false");
    EXPECT_TRUE(IsWindowVisible(playback));
    EXPECT_EQ(value("var w = m.playerWindow; [w.left, w.top, w.width, w.height].join()"), "30,20,64,48");
    GetClientRect(playback, &rect);
    EXPECT_EQ(rect.right, 64);
    pumpFor(100ms); // paints through the device
}

TEST_F(Mci, DevicesCloseWhenTheirObjectsOrTheEngineGo)
{
    EXPECT_EQ(value("var a = new MCI(); a.alias = 'dropped'; a.fileName = " + path("short.wav")
                    + "; a.command = 'open'; a.error"),
              "false");
    EXPECT_EQ(value("var b = new MCI(); b.alias = 'kept'; b.fileName = " + path("short.wav")
                    + "; b.command = 'open'; b.error"),
              "false");
    ASSERT_EQ(askAlias("dropped"), 0u);
    value("a = null");
    orvet::collect(host->ctx());
    EXPECT_EQ(askAlias("dropped"), notOpen());
    EXPECT_EQ(askAlias("kept"), 0u);
    // A second open under another alias replaces the object's device.
    EXPECT_EQ(value("b.alias = 'second'; b.command = 'open'; b.error + ' ' + b.alias"), "false second");
    EXPECT_EQ(askAlias("kept"), notOpen());
    // A device still playing with a notice to come closes with the engine.
    EXPECT_EQ(value("b.notify = true; b.onNotify = function(c) { trace(c); }; b.command = 'play'; b.error"), "false");
    host.reset();
    EXPECT_EQ(askAlias("second"), notOpen());
    EXPECT_EQ(FindWindowExW(flash.hwnd(), nullptr, L"Lumbra_Playback_Window", nullptr), nullptr);
    pumpFor(300ms); // notices of the closed device go nowhere
}

TEST_F(Mci, HandlersMayThrowCloseTheDeviceOrDropTheirObject)
{
    EXPECT_EQ(openInM("short.wav"), "false");
    // A throwing handler: a warning, and the next notice still arrives.
    value("m.onNotify = function(c) { notices.push(c); throw 'handler failed'; }; m.notify = true;"
          "m.command = 'play'");
    ASSERT_TRUE(waitFor("notices.length > 0"));
    EXPECT_FALSE(host->traced.empty());
    // A handler that closes its own device and lets its object go.
    value("notices = []; m.onNotify = function(c) { notices.push(c); this.notify = false; this.command = 'close';"
          " notices.push(this.deviceID); m = null; };"
          "m.from = 0; m.command = 'play'");
    ASSERT_TRUE(waitFor("notices.length > 1"));
    EXPECT_EQ(value("notices.join()"), "1,0");
    orvet::collect(host->ctx());
    pumpFor(100ms);
    EXPECT_EQ(FindWindowExW(flash.hwnd(), nullptr, L"Lumbra_Playback_Window", nullptr), nullptr);
}

TEST_F(Mci, TimeFormatHelpersPackAndUnpackBytes)
{
    EXPECT_EQ(value("MCI.makeTMSF(2, 3, 4, 5)"), std::to_string(0x05040302));
    EXPECT_EQ(value("MCI.tmsfSecond(MCI.makeTMSF(2, 3, 4, 5))"), "4");
    EXPECT_EQ(value("var t = 0x05040302; [MCI.tmsfTrack(t), MCI.tmsfMinute(t), MCI.tmsfSecond(t), MCI.tmsfFrame(t)]"
                    ".join()"),
              "2,3,4,5");
    EXPECT_EQ(value("[MCI.hmsHour(t), MCI.hmsMinute(t), MCI.hmsSecond(t), MCI.msfMinute(t), MCI.msfSecond(t), "
                    "MCI.msfFrame(t)].join()"),
              "2,3,4,2,3,4");
    // The system's own macros give the same words.
    EXPECT_EQ(value("MCI.makeHMS(1, 2, 3)"), std::to_string(MCI_MAKE_HMS(1, 2, 3)));
    EXPECT_EQ(value("MCI.makeMSF(59, 58, 74)"), std::to_string(MCI_MAKE_MSF(59, 58, 74)));
    EXPECT_EQ(value("new MCI().makeTMSF(99, 59, 59, 74)"), std::to_string(MCI_MAKE_TMSF(99, 59, 59, 74)));
    // Missing or non-Integer arguments: Undefined.
    EXPECT_EQ(value("typeof MCI.makeTMSF(1, 2, 3) + typeof MCI.hmsHour() + typeof MCI.msfFrame('1')"
                    " + typeof MCI.makeHMS(1, 2.5, 3)"),
              "undefinedundefinedundefinedundefined");
}

} // namespace
} // namespace lumbra::test
