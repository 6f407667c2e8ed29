// The three prompts of the package stream. Each returns true when the user chose to try
// again (OK or Retry) and false on Cancel (or when the box could not be shown).
#pragma once

// "Next disk, please...": the volume `fileName` cannot be opened. Warning icon, OK and
// Cancel, owned by the setup state's owner window.
bool AskForNextDisk(const char* fileName);

// "File Damaged": the volume `fileName` is shorter than its volume length word, or that
// word cannot be read. Error icon, Retry and Cancel, owned by the owner window.
bool AskRetryDamagedVolume(const char* fileName);

// The same words, with only an OK button: a maintenance program, whose package ends with
// its own file, has been found shorter than what it must read. There is nothing to retry.
void ReportDamagedFile(const char* fileName);

// "Critical Error!": a read of the package failed. Warning icon, Retry and Cancel, no
// owner, topmost and brought to the foreground, so that it is seen even when it comes
// from the extraction run's worker thread.
bool AskRetryFailedRead();
