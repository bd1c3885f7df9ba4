#pragma once

#include <string>

namespace tarnwick {

// $HOME when set and absolute, else the password database's home of the current user.
std::string homeFolder();

// $XDG_DATA_HOME when set and absolute, else ~/.local/share.
std::string dataHomeFolder();

// $XDG_CONFIG_HOME when set and absolute, else ~/.config.
std::string configHomeFolder();

}  // namespace tarnwick
