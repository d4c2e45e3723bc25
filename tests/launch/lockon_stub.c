/* Stands for the game's LockOn.exe in the Wine tests: appends one line to "launch.log" beside itself,
   "<command line as hex bytes> <working folder>", then stays running while "hold" exists beside itself
   (at most a minute), so that tests can see it in the process list. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static void Beside(const char* self, const char* name, char* out, size_t size) {
  const char* slash = strrchr(self, '\\');
  size_t folder = slash ? (size_t)(slash - self) + 1 : 0;
  if (folder + strlen(name) + 1 > size) folder = 0;
  memcpy(out, self, folder);
  strcpy(out + folder, name);
}

int main(void) {
  char self[MAX_PATH], log[MAX_PATH], hold[MAX_PATH], folder[MAX_PATH];
  GetModuleFileNameA(NULL, self, MAX_PATH);
  Beside(self, "launch.log", log, sizeof log);
  Beside(self, "hold", hold, sizeof hold);
  GetCurrentDirectoryA(MAX_PATH, folder);

  FILE* file = fopen(log, "ab");
  if (!file) return 1;
  for (const unsigned char* c = (const unsigned char*)GetCommandLineA(); *c; ++c) fprintf(file, "%02X", *c);
  fprintf(file, " %s\n", folder);
  fclose(file);

  for (int waited = 0; waited < 60000 && GetFileAttributesA(hold) != INVALID_FILE_ATTRIBUTES; waited += 50)
    Sleep(50);
  return 0;
}
