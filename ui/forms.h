// Forms, the application object and the screen.
//
// A form class derives from TForm, publishes its handlers and component fields, and is created
// through the application, which reads its form definition (the RCDATA resource named like the
// class, see wl_form_resources in ui/core.cmake) and then runs OnCreate:
//
//     class TFmain : public wl::TForm {
//         WL_CLASS(TFmain, wl::TForm)
//     public:
//         using TForm::TForm;
//         wl::TEdit* Edit1 = nullptr;
//         void FormCreate(wl::TObject* sender);
//         void Edit1KeyPress(wl::TObject* sender, char& key);
//     };
//     WL_DEFINE_CLASS(TFmain, [](wl::ClassBuilder<TFmain>& c) {
//         c.Field("Edit1", &TFmain::Edit1);
//         c.Method("FormCreate", &TFmain::FormCreate);
//         c.Method("Edit1KeyPress", &TFmain::Edit1KeyPress);
//     })
//
//     Application->Initialize();
//     Application->CreateForm<TFmain>();   // the first form becomes the main form
//     Application->Run();
#pragma once

#include "ui/controls.h"

#include <memory>
#include <string>
#include <vector>

namespace wl {

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPrintScale { poNone, poProportional, poPrintToFit };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
class TMainMenu;

class TCustomForm;

// What a frame-metrics step is asked about: the style of the form's window (its present one,
// or the one it will be created with).
struct TFrameRequest {
    const TCustomForm* form = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool hasMenu = false;
};

// How thick the frame around a form's client area is: left, top (caption and menu bar
// included), right and bottom. A form turns its client size into its window size through this
// step, so a frame of another thickness (a skinned one) keeps the client size that was asked.
class TFrameMetrics {
public:
    virtual ~TFrameMetrics() = default;
    virtual RECT FrameInsets(const TFrameRequest& request) const = 0;
};

// The system's frame (AdjustWindowRectEx).
class TSystemFrameMetrics : public TFrameMetrics {
public:
    RECT FrameInsets(const TFrameRequest& request) const override;
};

class TCustomForm : public TWinControl {
    WL_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Reads the form definition from the RCDATA resource named like the class; false when the
    // program has none (a form built in code).
    bool ReadDefinition();
    void ReadDefinitionText(const std::string& text);
    // Runs OnCreate (its exceptions go to the application's error handler).
    void DoCreate();
    // Runs OnDestroy; the application calls it before freeing a form.
    void DoDestroy();

    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    int FormClientWidth() const { return ClientWidth(); }
    int FormClientHeight() const { return ClientHeight(); }
    void SetClientWidth(int w) { SetClientSize(w, ClientHeight()); }
    void SetClientHeight(int h) { SetClientSize(ClientWidth(), h); }
    void SetClientSize(int width, int height) override;
    RECT ClientRect() const override;
    // The frame-metrics step: the system's unless one is installed. Installing one on a form
    // with a window keeps its client size, and the form then answers WM_NCCALCSIZE with it.
    void SetFrameMetrics(std::shared_ptr<const TFrameMetrics> metrics);
    const std::shared_ptr<const TFrameMetrics>& FrameMetrics() const { return frameMetrics_; }
    RECT FrameInsets() const;
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    std::string ActiveControlName() const;
    void SetActiveControlName(const std::string& name);
    TIcon& Icon() { return icon_; }
    // Makes the window show the icon now (after Icon() was loaded).
    void IconChanged();
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi; }
    TPrintScale PrintScale() const { return printScale_; }
    void SetPrintScale(TPrintScale s) { printScale_ = s; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }

    // The menu bar; in form files a reference by name ("Menu = MainMenu1").
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    std::string MenuName() const;
    void SetMenuName(const std::string& name);
    // Runs the menu item with this shortcut (the form's menu, then its popup menus); true when
    // there was one.
    bool IsShortCut(WORD key, TShiftState shift);
    // Shows the form modally: the other windows of the thread are disabled until ModalResult
    // becomes non-zero or the form is closed; returns ModalResult (mrCancel when closed).
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    bool IsModal() const { return modal_; }
    void Notification(TComponent* component, TOperation operation) override;

    void SetVisible(bool visible) override;
    bool Showing() const override;
    void Show();
    void Hide() { SetVisible(false); }
    void Close();
    // Frees the form once the messages now queued are handled.
    void Release();
    // A picture of the client area as it is on the screen (the caller owns it).
    std::unique_ptr<TBitmap> GetFormImage();

    void Loaded() override;

    // Focus bookkeeping of the controls of this form.
    void SetFocusedControl(TWinControl* control);
    void ControlRemoved(TWinControl* control);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;

protected:
    // Whether the window will show a menu bar once created (counted in its frame before then).
    virtual bool WillHaveMenuBar() const;
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    bool DoKeyDown(WORD& key, TShiftState shift) override;
    bool DoKeyPress(char& key) override;

    // Menu messages, dialog keys of modal forms; true when the message was handled.
    bool HandleMenuAndModal(TMessage& msg);

private:
    TFrameRequest FrameRequest() const;
    // Message handlers: true when the message was consumed.
    bool DispatchFormMessage(TMessage& msg);
    bool WMClose();
    bool WMShowWindow(TMessage& msg);
    bool WMActivate(TMessage& msg);
    bool WMSetFocus();
    bool WMNCCalcSize(TMessage& msg);
    bool CMDialogKey(TMessage& msg);
    bool CMRelease();

    void UpdateStyle();
    void DoShowHide(bool shown);
    bool HandleMenuMessage(TMessage& msg);
    bool HandleModalMessage(TMessage& msg);
    void AttachMenu();
    TMainMenu* menu_ = nullptr;
    int modalResult_ = 0;
    bool modal_ = false;
    bool showReported_ = false;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TWinControl* activeControl_ = nullptr;
    std::string pendingActive_;
    TIcon icon_;
    int pixelsPerInch_ = 96;
    TPrintScale printScale_ = poProportional;
    bool keyPreview_ = false;
    bool destroyed_ = false;
    bool releasing_ = false;
    std::shared_ptr<const TFrameMetrics> frameMetrics_;
};

class TForm : public TCustomForm {
    WL_CLASS(TForm, TCustomForm)
public:
    using TCustomForm::TCustomForm;
};

// The hidden application window, the message loop, the main form, tooltips of controls and
// the default error handler.
class TApplication : public TComponent {
    WL_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    void Initialize();
    // Creates a form owned by the application, reads its definition and runs OnCreate. The
    // first form created becomes the main form. A definition that cannot be read frees the
    // form and throws.
    template <class T>
    T* CreateForm() {
        std::unique_ptr<T> form(new T(this));
        form->ReadDefinition();
        if (!mainForm_) mainForm_ = form.get();
        T* result = form.release();
        result->DoCreate();
        return result;
    }
    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* form) { mainForm_ = form; }

    // Shows the main form and handles messages until termination is requested.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every queued message, then returns.
    void ProcessMessages();
    // Waits for one message and handles it.
    void HandleMessage();
    bool ShowMainForm = true;

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    TIcon& Icon() { return icon_; }
    void IconChanged();
    HWND Handle();

    // Reports the exception being handled (call from a catch block): OnException when set,
    // otherwise a message box with the exception's text captioned with the title.
    void HandleException(TObject* sender);
    void ShowException(const std::string& message);
    std::function<void(TObject* sender, const std::string& message)> OnException;

    // Tooltips of controls whose hint is shown.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on);
    // The tooltip window, made on first use.
    HWND HintWindow();
    void UpdateHintTool(TControl* control);
    void RemoveHintTool(TControl* control);
    void RelayHintMessage(TWinControl* control, const TMessage& msg);
    void ControlDestroyed(TControl* control);

private:
    bool ProcessMessage(MSG& msg);
    void CreateHandle();
    void CreateHintWindow();
    bool AddHintTool(TControl* control);
    static LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT AppWindowIcon(HWND hwnd, WPARAM which, LPARAM lParam);

    HWND handle_ = nullptr;
    HWND hintWindow_ = nullptr;
    bool hintWindowFailed_ = false;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool showHint_ = true;
    std::string title_;
    TIcon icon_;
    std::vector<TControl*> tools_;
};

class TScreen : public TComponent {
    WL_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* owner);
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int index) const { return forms_.at(index); }
    TCustomForm* ActiveForm() const;
    TFont& MenuFont();
    int PixelsPerInch() const;

    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);

private:
    std::vector<TCustomForm*> forms_;
    std::unique_ptr<TFont> menuFont_;
};

extern TApplication* Application;
extern TScreen* Screen;

// Modal loops of forms (ShowModal) running on this thread right now.
int ModalLoopDepth();

} // namespace wl
