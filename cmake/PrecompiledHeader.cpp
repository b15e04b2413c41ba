// Compiled only to make a precompiled header that other targets take.
