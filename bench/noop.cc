// The trivial child of the Windows launch benchmark.
int main() { return 0; }
