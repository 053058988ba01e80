#pragma once

// The program entry: application, title, the ten windows, the message loop.
int RunProgram(int argc, char** argv);
