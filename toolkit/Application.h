// The application object: the hidden application window, form creation, the message loop,
// exception display and message boxes.
#pragma once

#include "toolkit/Forms.h"

#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

namespace toolkit {

class TApplication : public TComponent {
public:
    // Becomes the object Application() returns until it is destroyed (then the previous one
    // is again). Tests make one per test.
    TApplication();
    // Destroys the forms and the application window if Run() has not done so.
    ~TApplication() override;

    // Creates the hidden application window and takes the launcher icon (resource id 1).
    void Initialize();
    bool MainFormOnTaskBar() const { return mainFormOnTaskBar_; }
    void SetMainFormOnTaskBar(bool onTaskBar) { mainFormOnTaskBar_ = onTaskBar; }

    // Allocates a T, stores it into `ref` before its constructor body runs, constructs it
    // with the application as owner, then creates its window and records the first form so
    // created as the main form. When the constructor throws: frees it, clears `ref`, rethrows.
    template <class T> void CreateForm(T*& ref) {
        static_assert(std::is_base_of_v<TForm, T>, "CreateForm makes forms");
        void* storage = ::operator new(sizeof(T));
        ref = static_cast<T*>(storage);
        T* form = nullptr;
        creatingMainForm_ = mainForm_ == nullptr;
        try {
            form = ::new (storage) T(this);
        } catch (...) {
            creatingMainForm_ = false;
            ::operator delete(storage);
            ref = nullptr;
            throw;
        }
        try {
            FormCreated(form);
        } catch (...) {
            creatingMainForm_ = false;
            delete form;
            ref = nullptr;
            throw;
        }
        creatingMainForm_ = false;
    }

    // Shows the main form, then handles messages until Terminate (or WM_QUIT); an exception
    // escaping one message is reported and the loop goes on. Destroys the forms at the end.
    void Run();
    // Handles one message if there is one; false when WM_QUIT arrived.
    bool HandleMessage();
    // The loop ends after the present message.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Minimises the main form when it carries the task-bar button, else the application.
    void Minimize();

    // The program file's name without directory, cut before its first ".", every character
    // after the first in lower case.
    std::u16string Title() const;

    // A modal box owned by the application's active window (else the application window);
    // the application's other top-level windows are disabled while it is up.
    int MessageBox(const std::u16string& text, const std::u16string& caption, platform::UINT flags);
    // The error box: caption Title(), text the message with a full stop added. An exception
    // not of the toolkit's class shows an empty message.
    void ShowException(const std::exception* error);
    // Reports an exception caught while handling a message; EAbort is silent.
    void HandleException(std::exception_ptr error = std::current_exception()) noexcept;

    TForm* MainForm() const { return mainForm_; }
    platform::HWND Handle() const { return handle_.get(); }
    int ScreenPixelsPerInch();
    // True while CreateForm makes the form that will become the main form.
    bool CreatingMainForm() const { return creatingMainForm_; }

protected:
    void Notification(TComponent* component, bool inserted) override;

private:
    void FormCreated(TForm* form);
    void Shutdown();
    platform::HWND DialogWindowFor(platform::HWND window) const;

    TApplication* previous_ = nullptr;
    platform::UniqueWindow handle_;
    platform::UniqueIcon icon_;
    TForm* mainForm_ = nullptr;
    bool mainFormOnTaskBar_ = false;
    bool terminated_ = false;
    bool creatingMainForm_ = false;
    int screenPixelsPerInch_ = 0;
};

// The application object in force: the innermost TApplication alive, else a process-wide
// one made on first use (never destroyed; the system reclaims its window at exit).
TApplication& Application();

// The two rules of the exception display, as pure functions.
std::u16string ApplicationTitleFromPath(std::u16string_view modulePath);
std::u16string ExceptionDisplayText(std::u16string_view message);

} // namespace toolkit
