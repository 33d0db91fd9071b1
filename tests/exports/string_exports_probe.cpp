//===- string_exports_probe.cpp - An executable whose only job is its export table -===//
int main() { return 0; }
