#pragma once

// The program: a report asked for on the command line, or start-up checks, the main window and
// the event loop. Returns the exit code.
int runApplication(int argc, char **argv);
