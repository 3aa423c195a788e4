#pragma once

// Reads "VELA_options.xml" from the process directory into the options record.
// True when the document was read; false when there is no file or it cannot be read.
bool LoadOptionsFile();
// Matches the loaded device pairs against the attached devices (after a successful load).
void CheckLoadedOptions();
