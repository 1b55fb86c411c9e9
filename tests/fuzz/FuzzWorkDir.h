#pragma once
// The working folder of a fuzz target: a fresh temporary folder with Daten/ and Bilder/ as the
// current directory, holding the settings store too, so no run touches the user's settings or
// writes anywhere else. Removed when the process ends normally.

#include <cstddef>
#include <cstdint>

void EnterFuzzWorkDir();

// Photos a fuzzed cache file may name, written once: Bilder/p.jpg, 800 x 600, a main photo for
// either kind of slide, and Bilder/q.png, a small further photo.
void WriteFuzzPhotos();

// Writes a fuzz input as the file at path, relative to the working folder.
void WriteFuzzFile(const char* path, const std::uint8_t* data, std::size_t size);
