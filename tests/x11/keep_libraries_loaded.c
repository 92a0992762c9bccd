/* Preloaded into the program in the sanitizer build: dlclose does nothing, so
 * every library the GL driver opens stays mapped until the process ends. The
 * leak check runs at exit; memory that a driver's globals still hold is then
 * seen as reachable, as it is, and anything reported comes with the name of
 * the library it is in, instead of "<unknown module>" for a library already
 * unloaded. */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
