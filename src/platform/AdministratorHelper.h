#pragma once

#include <filesystem>
#include <functional>

namespace quillo::platform {

/// The program that cleans system folders with administrator rights, and the polkit action
/// that lets pkexec start it.
struct AdministratorHelper {
    std::filesystem::path program;
    std::filesystem::path policy;

    /// Where `cmake --install` puts them: the program in the library-executables folder, the
    /// policy in polkit's actions folder, whose exec path names the program.
    static AdministratorHelper installed();
};

/// What decides how far this process's rights reach; a test answers with its own functions.
struct AdministratorFacts {
    std::function<bool()> isAdministrator;
    std::function<bool()> isHelperInstalled;

    /// Root by the effective user; the helper installed when both of its files exist.
    static AdministratorFacts current(const AdministratorHelper& helper);
};

}  // namespace quillo::platform
