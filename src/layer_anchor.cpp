// Gives every layer library at least one translation unit while its folder is still empty.
