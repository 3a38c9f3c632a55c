// The tests' precompiled headers are made with this file; it adds no code.
