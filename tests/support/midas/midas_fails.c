/* A registration library whose DllRegisterServer reports a failure. */
#include <stdio.h>
#include <stdlib.h>

int DllRegisterServer(void)
{
    const char* trace = getenv("TAVIRO_MIDAS_TRACE");
    if (trace) {
        FILE* f = fopen(trace, "a");
        if (f) {
            fputs("failed\n", f);
            fclose(f);
        }
    }
    return 0x80004005;
}
