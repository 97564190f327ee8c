#include "app/Subsystems.h"
#include "ui/Application.h"

int main(int argc, char **argv)
{
    registerAllCommands();
    return runApplication(argc, argv);
}
