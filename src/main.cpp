#include "app/Application.h"
#include "app/Subsystems.h"

int main(int argc, char **argv)
{
    registerAllCommands();
    return runApplication(argc, argv);
}
