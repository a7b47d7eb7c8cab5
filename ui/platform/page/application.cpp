#include "application.h"

#include "page.h"

#include <emscripten/emscripten.h>

namespace platform {

// The page is the toolkit: nothing to start, and its loop runs already.
struct Application::Peer { };

Application::Application(int & /*argc*/, char ** /*argv*/)
    : m_peer(std::make_unique<Peer>())
{
    s_current = this;
}

Application::~Application()
{
    m_forms.clear();
    s_current = nullptr;
}

int Application::Run()
{
    // The windows are made: the page shows them in place of its loading message.
    page::Document()["documentElement"]["classList"].call<void>("add", std::string("running"));
    // The program's entry ends here, its windows and this application kept as they are: what
    // happens from now on comes from the page's events.
    emscripten_exit_with_live_runtime();
    return 0;
}

} // namespace platform
