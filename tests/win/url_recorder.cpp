// Test helper that stands in for the browser: registered as the program that
// opens https addresses, it appends the address it is given to a file.
//
//   url_recorder.exe <record file> <address>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::FILE* record = std::fopen(argv[1], "ab");
    if (record == nullptr)
        return 1;
    std::fprintf(record, "%s\n", argv[2]);
    std::fclose(record);
    return 0;
}
