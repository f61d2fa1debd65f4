#include "player/AboutBox.h"

#include "player/CShockwaveFlash.h"
#include "player/HyperlinkLabel.h"
#include "player/PlayerResourceIds.h"

#include <memory>

namespace lumbra {

namespace {

constexpr std::uint32_t kShowAboutImage = 0x100, kShowMovie = 0x10;

LOGFONTA toLogFont(const LogFont& stored)
{
    LOGFONTA font{};
    font.lfHeight = stored.height;
    font.lfWidth = stored.width;
    font.lfEscapement = stored.escapement;
    font.lfOrientation = stored.orientation;
    font.lfWeight = stored.weight;
    font.lfItalic = stored.italic;
    font.lfUnderline = stored.underline;
    font.lfStrikeOut = stored.strikeOut;
    font.lfCharSet = stored.charSet;
    font.lfOutPrecision = stored.outPrecision;
    font.lfClipPrecision = stored.clipPrecision;
    font.lfQuality = stored.quality;
    font.lfPitchAndFamily = stored.pitchAndFamily;
    lstrcpynA(font.lfFaceName, stored.faceName.c_str(), LF_FACESIZE);
    return font;
}

class AboutDialog {
public:
    explicit AboutDialog(const AboutContent& content) : content_(content) {}
    AboutDialog(const AboutDialog&) = delete;
    AboutDialog& operator=(const AboutDialog&) = delete;
    ~AboutDialog()
    {
        if (picture_)
            DeleteObject(picture_);
    }

    static INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG)
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<AboutDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!self)
            return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            self->fill(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                self->movie_.reset(); // the control goes before its window
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            break;
        }
        return FALSE;
    }

private:
    void fill(HWND dialog)
    {
        const ProjectSettings& s = content_.settings;
        SetDlgItemTextA(dialog, IDC_ABOUT_PRODUCT, s.productName.value_or("").c_str());
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, versionLine(s.version.value_or("")).c_str());
        SetDlgItemTextA(dialog, IDC_ABOUT_COMPANY, s.companyName.value_or("").c_str());
        SetDlgItemTextA(dialog, IDC_ABOUT_LEGAL, s.legalNotice.value_or("").c_str());
        if (s.productName)
            SetWindowTextA(dialog, ("About " + *s.productName).c_str());
        setLink(dialog, IDC_ABOUT_LINK1, s.linkCaption1, s.linkTarget1, s.linkColor1, s.linkFont1, false);
        setLink(dialog, IDC_ABOUT_LINK2, s.linkCaption2, s.linkTarget2, s.linkColor2, s.linkFont2, true);
        showPicture(dialog);
    }

    static void setLink(HWND dialog, int id, const OptionalText& caption, const OptionalText& target,
                        std::uint32_t color, const LogFont& font, bool isMailAddress)
    {
        const HWND label = GetDlgItem(dialog, id);
        if (!caption || caption->empty() || !target) {
            ShowWindow(label, SW_HIDE);
            return;
        }
        setHyperlink(label, {*caption, hyperlinkTarget(*target, isMailAddress), color, toLogFont(font)});
    }

    void showPicture(HWND dialog)
    {
        const ProjectSettings& s = content_.settings;
        const HWND frame = GetDlgItem(dialog, IDC_ABOUT_PICTURE);
        if (!(s.aboutFlags & kShowAboutImage) && (s.aboutFlags & kShowMovie) && !content_.currentMovie.empty()) {
            showMovie(frame);
            return;
        }
        const std::string file = (s.aboutFlags & kShowAboutImage) && !s.aboutImage.empty() ? s.aboutImage.str()
                                                                                         : content_.defaultPicture;
        if (file.empty())
            return;
        picture_ = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (picture_)
            SendMessageA(frame, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
    }

    // The movie plays in the picture's place; without a control the frame stays empty.
    void showMovie(HWND frame)
    {
        movie_ = std::make_unique<CShockwaveFlash>();
        if (FAILED(movie_->create(frame, content_.controlPath)) || !movie_->loadMovie(content_.currentMovie, true))
            movie_.reset();
    }

    const AboutContent& content_;
    HBITMAP picture_ = nullptr;
    std::unique_ptr<CShockwaveFlash> movie_;
};

} // namespace

std::string versionLine(const std::string& version)
{
    if (version.empty() || version.starts_with("Version"))
        return version;
    return "Version " + version;
}

void showAboutBox(HINSTANCE instance, HWND owner, const AboutContent& content)
{
    AboutDialog dialog(content);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialog::proc,
                    reinterpret_cast<LPARAM>(&dialog));
}

} // namespace lumbra
