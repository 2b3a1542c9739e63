/* UNLHA32.DLL: extracts, tests and lists LHA (.lzh) archives.

   int WINAPI Unlha(HWND window, const char* commandLine, char* output, DWORD outputSize);

   commandLine:  COMMAND [-SWITCH...] ARCHIVE [FOLDER]
     COMMAND  x  extract, recreating the stored folders under FOLDER
              e  extract every file straight into FOLDER
              t  test: decode and check every file, write nothing
              l  list the entries
     SWITCH   -+ take the library's defaults; no user settings are read (there are none)
              -q quiet: no progress window
     ARCHIVE  path of the archive; FOLDER defaults to the current folder. Either may be in
              double quotes; a backslash is an ordinary character, so "C:\Games\" is a folder
              with a trailing backslash. Paths are in the ANSI code page.
   FOLDER and its sub-folders are created as needed. Existing files are replaced without
   asking, even read-only ones. Files get their stored last-write time and normal attributes
   (never read-only). No file is written outside FOLDER.

   window:  owner of the progress window (may be NULL). While the work goes on, the progress
            window shows the archive, the current file and a progress bar with a Cancel
            button; the owner is disabled and the calling thread's messages keep being
            dispatched, so the caller's windows go on painting. Cancel stops after the current
            file.
   output:  when not NULL, receives a plain-text log of what was done, one line per file and
            one per error, lines ended by CR LF, cut to outputSize bytes including the NUL
            (never inside a double-byte character).

   Returns UNLHA_OK only when everything asked for was done and every file's CRC verified;
   otherwise the code of the first failure (UNLHA_CANCELLED when the user cancelled). After a
   failed entry the rest of the archive is still processed where the archive allows it. */
#ifndef UNLHA32_H
#define UNLHA32_H

#include <windows.h>

#define UNLHA_OK 0                 /* all done and verified */
#define UNLHA_NOT_ARCHIVE 1        /* the file is not an LHA archive */
#define UNLHA_BROKEN_DATA 2        /* damaged header or data, truncated archive, CRC error */
#define UNLHA_UNSUPPORTED_METHOD 3 /* a compression method this library does not know */
#define UNLHA_WRITE_FAILED 4       /* a file or folder could not be created or written */
#define UNLHA_REFUSED_PATH 5       /* absolute path, drive, "..", device name: not written */
#define UNLHA_CANCELLED 6          /* the user pressed Cancel */
#define UNLHA_BAD_COMMAND 7        /* the command line is not understood */
#define UNLHA_READ_FAILED 8        /* the archive could not be opened or read */
#define UNLHA_OUT_OF_MEMORY 9      /* the library's buffers could not be allocated */

#ifdef __cplusplus
extern "C" {
#endif

int WINAPI Unlha(HWND window, const char* commandLine, char* output, DWORD outputSize);

#ifdef __cplusplus
}
#endif

#endif
