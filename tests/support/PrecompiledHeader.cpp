// Compiled only to make the test suites' precompiled header.
