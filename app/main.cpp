#include "application.h"
#include "form1.h"

int main(int argc, char **argv)
{
    return platform::Application::Start<Form1>(argc, argv);
}
