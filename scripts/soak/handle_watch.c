/* Starts a Windows program under Wine and answers how many handles it holds,
 * for the long run (scripts/soak.py).
 *
 *   handle-watch.exe PROGRAM [ARGUMENTS...]
 *
 * Prints "pid N" once the program runs (its Windows process id). Each line
 * read from standard input is answered with "handles N", or "handles
 * unreadable" when the system will not list them. At the end of input it
 * waits for the program, prints "exit N" and ends with the program's own
 * exit code.
 *
 * The count is the number of entries the system's handle list
 * (NtQuerySystemInformation, SystemHandleInformation) gives the process.
 * GetProcessHandleCount and the process list's HandleCount do not serve under
 * Wine: the first answers 0, the second the size of the handle table, which
 * grows in doubling steps.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define SYSTEM_HANDLE_INFORMATION_CLASS 16
#define STATUS_INFO_LENGTH_MISMATCH ((LONG)0xC0000004L)

typedef LONG(WINAPI* QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);

typedef struct {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
} HandleEntry;

typedef struct {
    ULONG count;
    HandleEntry handles[1];
} HandleList;

/* The handles process pid holds, or -1 when the list cannot be read. */
static long countHandles(DWORD pid)
{
    static QuerySystemInformation query;
    static char* buffer;
    static ULONG size = 1 << 16;
    ULONG needed = 0;
    LONG status;
    ULONG i;
    long count = 0;
    const HandleList* list;

    if (query == NULL)
        query = (QuerySystemInformation)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (query == NULL)
        return -1;
    for (;;) {
        if (buffer == NULL && (buffer = malloc(size)) == NULL)
            return -1;
        status = query(SYSTEM_HANDLE_INFORMATION_CLASS, buffer, size, &needed);
        if (status != STATUS_INFO_LENGTH_MISMATCH)
            break;
        free(buffer);
        buffer = NULL;
        if (size >= (1u << 28))
            return -1;
        size *= 2;
    }
    if (status != 0)
        return -1;
    list = (const HandleList*)buffer;
    for (i = 0; i < list->count; ++i) {
        if (list->handles[i].ownerPid == pid)
            ++count;
    }
    return count;
}

/* The command line after this program's own name, as the system gave it. */
static char* argumentsOf(char* line)
{
    int quoted = 0;
    while (*line != '\0' && (quoted || (*line != ' ' && *line != '\t'))) {
        if (*line == '"')
            quoted = !quoted;
        ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

int main(void)
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    char request[64];
    DWORD exitCode = 1;
    char* commandLine = argumentsOf(GetCommandLineA());

    if (*commandLine == '\0') {
        fprintf(stderr, "usage: handle-watch.exe PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        fprintf(stderr, "handle-watch: cannot start %s (error %lu)\n", commandLine, GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    printf("pid %lu\n", process.dwProcessId);
    fflush(stdout);
    while (fgets(request, sizeof request, stdin) != NULL) {
        const long count = countHandles(process.dwProcessId);
        if (count < 0)
            printf("handles unreadable\n");
        else
            printf("handles %ld\n", count);
        fflush(stdout);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    printf("exit %lu\n", exitCode);
    fflush(stdout);
    return (int)exitCode;
}
