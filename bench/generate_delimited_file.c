/* Writes a comma-separated file for the import benchmarks: a header line
 * Column1..ColumnN, then ROWS data lines of N fields, each line padded to
 * about LINE_BYTES. Values mix digits, words, apostrophes (doubled in the
 * SQL) and UTF-8, and are the same for the same arguments.
 *
 *   generate_delimited_file OUTPUT ROWS [FIELDS=8] [LINE_BYTES=0: natural] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* const words[] = {
    "alpha", "Bravo", "charlie", "O'Neill", "Müller", "zürich", "delta", "echo",
    "foxtrot", "l'été", "golf", "hotel", "India", "juliet", "kilo", "lima",
};

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s OUTPUT ROWS [FIELDS] [LINE_BYTES]\n", argv[0]);
        return 2;
    }
    const long rows = atol(argv[2]);
    const int fields = argc > 3 ? atoi(argv[3]) : 8;
    const long line_bytes = argc > 4 ? atol(argv[4]) : 0;
    FILE* out = fopen(argv[1], "wb");
    if (!out || rows < 0 || fields < 2) {
        perror(argv[1]);
        return 2;
    }
    static char buffer[1 << 20];
    setvbuf(out, buffer, _IOFBF, sizeof buffer);

    for (int f = 1; f <= fields; ++f)
        fprintf(out, "%sColumn%d", f > 1 ? "," : "", f);
    fputs("\r\n", out);

    /* The last field carries the padding, so its length sets the line's. */
    char* padding = NULL;
    if (line_bytes > 0) {
        padding = malloc((size_t)line_bytes + 1);
        for (long i = 0; i < line_bytes; ++i)
            padding[i] = (char)('a' + i % 26);
        padding[line_bytes] = '\0';
    }
    unsigned long state = 12345;
    for (long row = 1; row <= rows; ++row) {
        int written = fprintf(out, "%ld", row);
        for (int f = 2; f <= fields; ++f) {
            state = state * 6364136223846793005UL + 1442695040888963407UL;
            const char* word = words[(state >> 33) % (sizeof words / sizeof *words)];
            if (f == fields && padding) {
                long rest = line_bytes - written - 3;
                if (rest < 1)
                    rest = 1;
                written += fprintf(out, ",%.*s", (int)rest, padding);
            } else if (f % 3 == 0) {
                written += fprintf(out, ",%lu", (state >> 20) % 1000000);
            } else {
                written += fprintf(out, ",%s %ld", word, row % 997);
            }
        }
        fputs("\r\n", out);
    }
    free(padding);
    return fclose(out) == 0 ? 0 : 1;
}
