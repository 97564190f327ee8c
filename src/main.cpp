#include "app/Application.h"
#include "app/Subsystems.h"
#include "core/HeapPages.h"

int main(int argc, char **argv)
{
    useLargeHeapPages();
    registerAllCommands();
    return runApplication(argc, argv);
}
