#pragma once
// `tarnwick-skin preview`: renders a real window with a given skin to PNG.

// Runs the preview command; argv[1] is "preview". Returns the exit code.
int RunPreview(int argc, char** argv);
