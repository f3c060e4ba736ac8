// The console of a Windows program. Only the Windows files of this floor
// include it.
#ifndef CALVETRA_PLATFORM_CONSOLE_WINDOWS_H_
#define CALVETRA_PLATFORM_CONSOLE_WINDOWS_H_

#include <string_view>

namespace calvetra::windows {

// Writes `testo` to the standard handle `quale` (STD_OUTPUT_HANDLE or
// STD_ERROR_HANDLE): to a console as characters (the bytes read as UTF-8,
// or as Windows-1252 where they are not UTF-8), to a file or a pipe as the
// bytes they are. A window program started from Explorer has neither: then
// nothing is written.
void scrivi_console(unsigned long quale, std::string_view testo);

}  // namespace calvetra::windows

#endif  // CALVETRA_PLATFORM_CONSOLE_WINDOWS_H_
