#pragma once
// Bilder/ keeps a photo only while a cache file names it: a record in Daten/, the record list
// or the new-vehicle list. A photo no one names for kUnnamedPhotoGrace is deleted; the times
// since when each has been unnamed are kept in Daten/, so the wait outlasts a restart.

#include <ctime>

// Run only at the end of a job whose lists came through, never while a sync works on the
// folders. Deletes nothing when a cache file that names photos cannot be read.
void SweepUnnamedPhotos(std::time_t now);
