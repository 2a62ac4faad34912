/* A library without the registration export. */
int SomethingElse(void)
{
    return 0;
}
