#pragma once

#include "form.h"

#include <QApplication>

#include <map>
#include <memory>
#include <typeindex>

namespace platform {

// The forms runtime: the toolkit, the program's windows as process-wide instances created on
// first use, and the message loop, which ends when the last window is closed. The windows, its
// members, go before the toolkit, its base.
class Application : public QApplication {
public:
    Application(int &argc, char **argv);
    ~Application() override;

    static Application &current() { return static_cast<Application &>(*instance()); }

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

    // Runs the message loop until the last window is closed; returns the exit status.
    int Run() { return exec(); }

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
    std::map<std::type_index, std::unique_ptr<Form>> m_forms;
};

} // namespace platform
