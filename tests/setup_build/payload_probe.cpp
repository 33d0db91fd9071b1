// payload_probe.cpp - A Windows program that carries nothing but the setup archives.
// The checks of the setup build read its resources from outside; it is never run.
int main() { return 0; }
