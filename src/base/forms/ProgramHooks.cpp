#include "base/forms/ProgramHooks.h"

#include "base/ZT_Start.h"
#include "base/forms/ZT_PfadMaske.h"
#include "platform/Hooks.h"

void InstallProgramHooks()
{
    platform::THooks& h = platform::Hooks();
    h.DirectoryDialog = PfadMaskeDirectoryDialog;
    h.StartProcess = SpawnDetachedProcess;
}
