// The local sending and loading service.
int main()
{
    return 0;
}
