// The settings objects as live views on the settings record, and the tray.
#include "HostFixture.h"
#include "host/TrayObject.h"
#include "script/runtime/Collector.h"

namespace lumbra::test {
namespace {

using Reapply = HostPlayer::Reapply;

class SettingsObjectsTest : public HostFixture {
protected:
    ProjectSettings& s = player.projectSettings;
};

TEST_F(SettingsObjectsTest, WindowShapeTakesAMaskNameOrANumber)
{
    run("var a = Application.Appearance; a.windowShape = 'star'");
    EXPECT_EQ(s.windowShape, 2u);
    EXPECT_EQ(value("a.windowShape"), "star");
    run("a.windowShape = 1");
    EXPECT_EQ(value("a.windowShape"), "int 1");
    EXPECT_EQ(s.shapeMaskFile.view(), "star");
    run("a.windowShape = true; a.windowShape = 2.5");
    EXPECT_EQ(s.windowShape, 1u);
    EXPECT_EQ(player.reapplied, (std::vector<Reapply>{Reapply::Shape, Reapply::Shape}));
    run("a.windowShape = '" + std::string(300, 'm') + "'");
    EXPECT_EQ(s.shapeMaskFile.view().size(), 259u);
}

TEST_F(SettingsObjectsTest, FrameScaleModeCaptionAndIcon)
{
    run("var a = _Appearance_; a.borderStyle = $BSSINGLE; a.borderIcons = 0x101; a.borderStyle = 'x'");
    EXPECT_EQ(s.borderStyle, 0x10u);
    EXPECT_EQ(s.borderIcons, 0x101u);
    EXPECT_EQ(value("a.borderIcons"), "int 257");
    EXPECT_EQ(player.reapplied, (std::vector<Reapply>{Reapply::Frame, Reapply::Frame}));

    run("a.scaleMode = 1; a.scaleMode = 2; a.scaleMode = 0x10; a.scaleMode = 0x100; a.scaleMode = 7");
    EXPECT_EQ(player.scaleModes, (std::vector<int>{0, 1, 3, 2}));
    EXPECT_EQ(value("a.scaleMode"), "int 7");

    run("a.caption = 'Hello'; a.caption = 3");
    EXPECT_EQ(value("a.caption"), "Hello");
    EXPECT_EQ(player.reapplied.back(), Reapply::Caption);

    player.loadableFiles = {"app.ico"};
    run("a.icon = 'app.ico'; a.icon = 'missing.ico'; a.icon = 1");
    EXPECT_EQ(player.windowIcons, std::vector<std::string>{"app.ico"});
    EXPECT_EQ(value("a.icon"), "undefined");
}

TEST_F(SettingsObjectsTest, SizeAndPosLaysOutOnlyWithAMovie)
{
    run("var p = Application.SizeAndPos; p.windowSize = $SSFULLSCREEN");
    EXPECT_EQ(s.windowSize, 1u);
    EXPECT_TRUE(player.reapplied.empty());
    player.control.properties[u"Movie"] = std::u16string(u"C:\\m.swf");
    run("p.pos = $ASBOTTOMRIGHT; p.pos = 'x'");
    EXPECT_EQ(value("p.pos"), "int 8");
    EXPECT_EQ(player.reapplied, std::vector<Reapply>{Reapply::Layout});

    run("p.setCustomPos(70000, 20)");
    EXPECT_EQ(s.pos, 9u);
    EXPECT_EQ(s.customX, 70000 - 65536);
    EXPECT_EQ(s.customY, 20);
    run("p.setCustomSize(640, 480)");
    EXPECT_EQ(s.windowSize, 3u);
    EXPECT_EQ(s.customWidth, 640);
    run("p.setCustomSizeAndPos(1, 2, 3, 4)");
    EXPECT_EQ(s.customX, 1);
    EXPECT_EQ(s.customHeight, 4);
    EXPECT_EQ(player.reapplied.size(), 4u);

    run("p.setCustomPos(5); p.setCustomSize(1, '2'); p.setCustomSizeAndPos(1, 2, 3, 4.5)");
    EXPECT_EQ(s.customX, 1);
    EXPECT_EQ(s.customWidth, 3);
    EXPECT_EQ(player.reapplied.size(), 4u);
    EXPECT_EQ(value("p.setCustomPos(1, 1)"), "undefined");

    run("p.bKeepRatio = 'yes'");
    EXPECT_EQ(value("p.bKeepRatio"), "bool true");
    run("p.bKeepRatio = 0");
    EXPECT_EQ(s.bKeepRatio, 0u);
}

TEST_F(SettingsObjectsTest, InteractionHotKeyAndRestrictions)
{
    run("var i = Application.Interaction; i.hotKey = 'ctrl+alt+q'");
    EXPECT_EQ(s.hotKeyCode, 0x51);
    EXPECT_EQ(s.hotKeyModifiers, 0x6);
    EXPECT_EQ(value("i.hotKey"), "CTRL+ALT+Q");
    run("i.hotKey = ''");
    EXPECT_EQ(value("i.hotKey"), "None");
    run("i.hotKey = 'shift+end'");
    EXPECT_EQ(value("i.hotKey"), "SHIFT+Ext#");

    run("i.lBtnClk = $LBDRAG; i.rBtnClk = $RBIGNORE; i.keyPress = 0x11; i.exitKeys = 'x'");
    EXPECT_EQ(s.lBtnClk, 1u);
    EXPECT_EQ(s.rBtnClk, 2u);
    EXPECT_EQ(value("i.keyPress"), "int 17");
    EXPECT_EQ(s.exitKeys, 0u);

    run("i.bDisableCursor = true; i.bDisableScr = 1; i.bDisableAltTab = false");
    EXPECT_EQ(s.interactionFlags, 0x110u);
    EXPECT_EQ(value("i.bDisableScr"), "bool true");
    run("i.bDisableScr = null");
    EXPECT_EQ(s.interactionFlags, 0x10u);
    EXPECT_EQ(player.reapplied, std::vector<Reapply>(4, Reapply::Restrictions));
}

TEST_F(SettingsObjectsTest, BehaviourMenusAreOnlyAddedAndFlagsToggle)
{
    run("var b = Application.Behaviour; b.extendContextMenu = 0x10; b.extendContextMenu = 0x100");
    EXPECT_EQ(value("b.extendContextMenu"), "int 272");
    run("b.extendContextMenu = 0x20002");
    EXPECT_EQ(s.contextMenuFlags, 0x110u);
    run("b.bAllowExtendContextMenu = false");
    EXPECT_EQ(s.contextMenuFlags, 0x112u);
    EXPECT_EQ(value("b.bAllowExtendContextMenu"), "bool false");
    run("b.bAllowExtendContextMenu = true");
    EXPECT_EQ(s.contextMenuFlags, 0x110u);
    EXPECT_EQ(player.reapplied, std::vector<Reapply>(5, Reapply::Menus));

    player.reapplied.clear();
    s.behaviourFlags = 0;
    run("b.bAutoPlay = true; b.bAlwaysOnTop = true; b.bStartMinimized = 1");
    EXPECT_EQ(s.behaviourFlags, 0x111u);
    EXPECT_EQ(player.reapplied, std::vector<Reapply>(2, Reapply::WindowState));

    run("b.bShowInSystemTray = true");
    EXPECT_EQ(s.behaviourFlags & 0x1002, 0x1002u);
    EXPECT_EQ(value("b.bShowInSystemTray"), "bool true");
    run("b.bShowInSystemTray = false");
    EXPECT_EQ(s.behaviourFlags & 0x1000, 0u);
    EXPECT_EQ(player.trayCalls, (std::vector<std::string>{"add application Demo title", "remove"}));
}

TEST_F(SettingsObjectsTest, TrayIconTipAndBalloon)
{
    run("var t = Application.SysTray;");
    EXPECT_EQ(value("t.add()"), "bool false"); // no icon yet
    EXPECT_EQ(value("t.showBalloonTip()"), "bool false");
    player.loadableFiles = {"tray.ico", "other.ico"};
    run("t.icon = 'tray.ico'; t.tip = 'Tip ' + 1");
    EXPECT_EQ(value("t.add()"), "bool true");
    EXPECT_EQ(value("t.add()"), "bool false");
    run("t.tip = '" + std::string(200, 't') + "'; t.icon = 'other.ico'; t.icon = 'bad.ico'");
    run("t.balloonTip = 'Text'; t.balloonTitle = 'Title'; t.balloonTimeout = 1500.9; t.balloonIcon = 'WARNING'");
    EXPECT_EQ(value("t.balloonTimeout"), "int 1500");
    EXPECT_EQ(value("t.showBalloonTip()"), "bool true");
    run("t.balloonIcon = 'nothing'; t.balloonTimeout = 'x'");
    EXPECT_EQ(value("t.balloonTimeout"), "int 1500");
    EXPECT_EQ(value("t.remove()"), "bool true");
    EXPECT_EQ(value("t.remove()"), "bool false");
    EXPECT_EQ(player.trayCalls, (std::vector<std::string>{
                                    "add tray.ico Tip 1",
                                    "modify tray.ico " + std::string(127, 't'),
                                    "modify other.ico " + std::string(127, 't'),
                                    "balloon Title: Text 1500 2",
                                    "remove",
                                }));
    EXPECT_EQ(value("t.tip.length"), "int 200");
}

TEST_F(SettingsObjectsTest, HugeTextsAreCutOrTakenWhole)
{
    run("var big = 'x'; for (var i = 0; i < 17; i++) big = big + big;"); // 131072 characters
    run("Application.Appearance.caption = big; Application.Interaction.hotKey = big + '+' + big;"
        "Application.SysTray.tip = big; FlashPlayer.bindData(big + '.' + big); setWindowless(big)");
    EXPECT_EQ(s.caption.view().size(), 259u);
    EXPECT_EQ(s.shapeMaskFile.view().size(), 259u);
    EXPECT_EQ(s.hotKeyCode, 'X');
    EXPECT_EQ(value("typeof FlashPlayer[big]"), "object");
    EXPECT_EQ(value("FlashPlayer.setVariable(big, big)"), "bool true");
    EXPECT_EQ(player.control.variables.begin()->second.size(), 131072u);
}

TEST_F(SettingsObjectsTest, TrayMouseMessagesReachScriptHandlersOnlyWithoutTheDefault)
{
    run("var t = Application.SysTray; var clicks = ''; function left() { clicks += 'L' + (this == t); }"
        "t.onLClicked = left; t.onRDblClicked = 'x';");
    EXPECT_FALSE(host::trayMouseMessage(*engine, host::TrayMouse::LeftUp));
    EXPECT_EQ(value("t.useDefaultHandler"), "bool true");
    run("t.useDefaultHandler = false");
    orvet::collect(ctx());
    EXPECT_TRUE(host::trayMouseMessage(*engine, host::TrayMouse::LeftUp));
    EXPECT_TRUE(host::trayMouseMessage(*engine, host::TrayMouse::RightDoubleClick));
    EXPECT_EQ(value("clicks"), "Ltrue");
    EXPECT_EQ(value("t.onRDblClicked"), "undefined");
}

} // namespace
} // namespace lumbra::test
