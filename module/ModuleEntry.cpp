// Entry point of the shared library; filled in with the module start-up.
