/* A registration library whose DllRegisterServer succeeds and leaves a trace. */
#include <stdio.h>
#include <stdlib.h>

int DllRegisterServer(void)
{
    const char* trace = getenv("TAVIRO_MIDAS_TRACE");
    if (trace) {
        FILE* f = fopen(trace, "a");
        if (f) {
            fputs("registered\n", f);
            fclose(f);
        }
    }
    return 0;
}
