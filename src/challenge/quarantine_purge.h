#pragma once

// The start-up clean-up of one account's quarantine, run right after its
// index was loaded: with "AutoDelSpam" on, message files at least
// "AutoDelSpamDays" whole days old (counted in local time from the file's
// creation, or from its last write when that is earlier) are deleted; a file
// dated in the future gets the present as its access and write time instead,
// and so ages from then on; and every entry whose file no longer
// exists is removed from the index, whatever the settings say. The index is
// saved at the end. Nothing is logged or shown; a file that cannot be read
// or whose time cannot be read is left alone. Throws std::out_of_range for
// an index outside Accounts.
void PurgeOldQuarantine(int accountIndex);
