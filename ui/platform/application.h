// The forms runtime: the toolkit, the program's windows and the message loop.
#pragma once

#include "form.h"

#include <map>
#include <memory>
#include <typeindex>

namespace platform {

// The forms runtime: the toolkit, the program's windows as process-wide instances created on
// first use, and the message loop, which ends when the last window is closed.
class Application {
public:
    Application(int &argc, char **argv);
    ~Application(); // the windows go before the toolkit
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    static Application &Current() { return *s_current; }

    // The one window of type F, created and loaded on first use.
    template <class F> F &Instance()
    {
        std::unique_ptr<Form> &form = m_forms[typeid(F)];
        if (!form) {
            form = std::make_unique<F>();
            form->Form_Load();
        }
        return static_cast<F &>(*form);
    }

    // Runs the message loop until the last window is closed; returns the exit status. In the
    // browser the page's own loop goes on after the program's entry has returned: the windows
    // stay, and this does not return.
    int Run();

    // The toolkit itself, each implementation's own.
    struct Peer;

    // The program's entry: loads the start-up window, shows it if its Load did not, and runs.
    template <class StartUpForm> static int Start(int argc, char **argv)
    {
        Application application(argc, argv);
        auto &form = application.Instance<StartUpForm>();
        if (!form.Visible())
            form.Show();
        return application.Run();
    }

private:
    static inline Application *s_current = nullptr;

    std::unique_ptr<Peer> m_peer;
    std::map<std::type_index, std::unique_ptr<Form>> m_forms;
};

} // namespace platform
