// SundrelUnInst.exe: removes the ".divide" file type and the context-menu
// entry that the installer registered. No window; the exit code is always 0.
#include <windows.h>

#include "context_menu_entry.h"
#include "shell_command.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    // The extension lets go of the file type first, the reverse of the
    // installer's order.
    RunShellCommand(L"assoc .divide=");
    RunShellCommand(L"ftype QorSundrel=");
    // Not every command interpreter can clear a file type (Wine's answers
    // "No open command associated" and keeps it); the open command goes
    // all the same. Where ftype did clear it, there is nothing left to delete.
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"QorSundrel\\shell\\open\\command");
    RemoveContextMenuEntry();
    return 0;
}
