// ExternalInterface between a movie playing in the control and its container,
// through the control's COM interface: the FlashCall event carries the
// movie's request, SetReturnValue answers it, and CallFunction reaches the
// functions the movie offered. Also System.setClipboard, which fills the
// system clipboard.
#include "tests/control/ControlHost.h"

#include "control/com/Guids.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumbra::com::test {
namespace {

class ControlExternal : public ::testing::Test {
protected:
    // Compiles the source into a movie file and loads it into the control.
    HRESULT play(std::string_view source) {
        auto path = folder.path() / "external.swf";
        auto bytes = actionscript::compileMovie(source, 8);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        auto text = path.wstring();
        return host.putText(L"Movie", std::u16string(text.begin(), text.end()));
    }

    HRESULT callFunction(const std::u16string& request, std::u16string& result) {
        Bstr text(request);
        Variant value;
        HRESULT hr = host.call(L"CallFunction", {textArg(text)}, value.get());
        if (SUCCEEDED(hr)) result = std::u16string(bstrView(V_BSTR(value.get())));
        return hr;
    }

    std::u16string variable(const char16_t* name) {
        Bstr text(name);
        Variant result;
        if (FAILED(host.call(L"GetVariable", {textArg(text)}, result.get()))) return u"<none>";
        return std::u16string(bstrView(V_BSTR(result.get())));
    }

    TempFolder folder;
    ControlHost host{100, 100};
};

constexpr char kMovie[] = R"(
var EI = flash.external.ExternalInterface;
EI.addCallback("twice", null, function(s) { return s + s; });
EI.addCallback("ask", null, function() { return EI.call("inner", 1); });
var answer = EI.call("outer", "hi", 2);
var unanswered = EI.call("nobody");
var shown = EI.available + " " + answer + " " + unanswered;
)";

TEST_F(ControlExternal, MembersHaveThePublishedIds) {
    const std::pair<const wchar_t*, DISPID> members[] = {{L"CallFunction", 0xc6}, {L"SetReturnValue", 0xc7}};
    for (auto [name, id] : members) {
        DISPID found = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        ASSERT_EQ(host.control()->GetIDsOfNames(IID_NULL, names, 1, 0, &found), S_OK);
        EXPECT_EQ(found, id);
    }
    EXPECT_EQ(kEventFlashCall, 0xc5);
}

TEST_F(ControlExternal, TheMoviesCallsRaiseFlashCallAndTakeTheReturnValue) {
    host.onFlashCall = [&](const std::u16string& request) {
        if (request.find(u"\"outer\"") == std::u16string::npos) return;
        Bstr value(u"<string>from the container</string>");
        EXPECT_EQ(host.call(L"SetReturnValue", {textArg(value)}), S_OK);
    };
    ASSERT_EQ(play(kMovie), S_OK);
    ASSERT_EQ(host.flashCalls.size(), 2u);
    EXPECT_EQ(host.flashCalls[0],
              u"<invoke name=\"outer\" returntype=\"xml\"><arguments><string>hi</string><number>2</number>"
              u"</arguments></invoke>");
    EXPECT_EQ(host.flashCalls[1], u"<invoke name=\"nobody\" returntype=\"xml\"><arguments></arguments></invoke>");
    EXPECT_EQ(variable(u"shown"), u"true from the container null");
}

TEST_F(ControlExternal, CallFunctionReachesTheMoviesCallbacksEvenFromInsideAnEvent) {
    host.onFlashCall = [&](const std::u16string& request) {
        if (request.find(u"\"inner\"") == std::u16string::npos) return;
        // The container calls back into the movie before it answers.
        std::u16string twice;
        EXPECT_EQ(callFunction(u"<invoke name=\"twice\" returntype=\"xml\"><arguments><string>in</string>"
                               u"</arguments></invoke>",
                               twice),
                  S_OK);
        EXPECT_EQ(twice, u"<string>inin</string>");
        Bstr value(u"<number>7</number>");
        host.call(L"SetReturnValue", {textArg(value)});
    };
    ASSERT_EQ(play(kMovie), S_OK);
    std::u16string result;
    EXPECT_EQ(callFunction(u"<invoke name=\"twice\" returntype=\"xml\"><arguments><string>ab</string></arguments>"
                           u"</invoke>",
                           result),
              S_OK);
    EXPECT_EQ(result, u"<string>abab</string>");
    EXPECT_EQ(callFunction(u"<invoke name=\"ask\" returntype=\"xml\"><arguments></arguments></invoke>", result), S_OK);
    EXPECT_EQ(result, u"<number>7</number>");
    EXPECT_EQ(callFunction(u"<invoke name=\"missing\" returntype=\"xml\"><arguments></arguments></invoke>", result),
              E_FAIL);
    EXPECT_EQ(callFunction(u"not xml at all", result), E_FAIL);
}

TEST_F(ControlExternal, WithoutAMovieCallFunctionFails) {
    std::u16string result;
    EXPECT_EQ(callFunction(u"<invoke name=\"twice\"><arguments/></invoke>", result), E_FAIL);
}

TEST_F(ControlExternal, SetClipboardFillsTheSystemClipboard) {
    ASSERT_EQ(play("var ok = System.setClipboard(\"copied from the movie\");"), S_OK);
    EXPECT_EQ(variable(u"ok"), u"true");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::u16string text;
    if (data) {
        if (auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    EXPECT_EQ(text, u"copied from the movie");
}

} // namespace
} // namespace lumbra::com::test
