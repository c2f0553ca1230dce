// Nothing runs: the link of a library with only its allowed libraries is
// the check (cmake/layers.cmake).
int main() { return 0; }
