#pragma once

// Exit codes of the pack's programs.
constexpr int ProgramClosed = 0;
constexpr int RegisterFailed = 1;
constexpr int CreateFailed = 2;
constexpr int MessageLoopFailed = 3;
constexpr int DllSearchFailed = 4;

// Opens the pack's standard program window and runs it until closed.
// Returns ProgramClosed when the user closes the window, another code when the window could not be run.
int RunProgramWindow(const wchar_t* title, const wchar_t* line);
