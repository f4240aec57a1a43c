// What the Windows program's scenarios share across their files.
#pragma once

#include <string>

#include "game_driver.h"

namespace driver {

struct Step {
    int square;          // clicked first
    bool playO;          // then "Play O"
    const char* board;   // what the board shows afterwards
    const char* red;     // its highlighted squares
    const char* status;  // and the status line
};

// Plays the steps, checking the board and the status after every click and every "Play O".
void PlaySteps(HWND main, const Step* steps, int count);

// Ends the game by Escape, which must give exit code 0.
void EndByEscape(GameProcess& game);

// The scenarios of installation_scenarios.cpp, each given the folder it starts from.
void ScenarioAnyFolderName(const std::string& folder);
void ScenarioFileProperties(const std::string& folder);
void ScenarioHighDpi(const std::string& folder);
void ScenarioInstaller(const std::string& setup);

}  // namespace driver
