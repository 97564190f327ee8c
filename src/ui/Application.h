#pragma once

// The program: start-up checks, the main window, the event loop. Returns the exit code.
int runApplication(int argc, char **argv);
