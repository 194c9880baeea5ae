// Compiles, but a program needs a main function in each stage: linking fails.
void helper()
{
}
