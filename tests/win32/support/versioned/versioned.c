/* A resource-only library: its version resource is what the tests read. */
int versioned_marker(void) { return 0; }
