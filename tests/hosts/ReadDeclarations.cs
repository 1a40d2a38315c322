// Prints the declarations a compiled Korvex.cs makes for Korvex.dll, one line
// each, "Name(argument types) -> result type", for check-csharp to compare
// with the export table; and a line naming every declaration that is not
// cdecl or not ANSI. Usage: mono ReadDeclarations.exe KorvexDeclarations.dll
using System;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;

static class ReadDeclarations
{
    static int Main(string[] arguments)
    {
        Assembly declarations = Assembly.LoadFrom(arguments[0]);
        var imports =
            from type in declarations.GetTypes()
            from method in type.GetMethods(BindingFlags.Public | BindingFlags.NonPublic | BindingFlags.Static)
            let import = (DllImportAttribute)Attribute.GetCustomAttribute(method, typeof(DllImportAttribute))
            where import != null && import.Value == "Korvex.dll"
            orderby method.Name
            select new { method, import };
        foreach (var entry in imports)
        {
            var parameters = entry.method.GetParameters().Select(p => p.ParameterType.Name);
            Console.WriteLine("{0}({1}) -> {2}", entry.method.Name, string.Join(", ", parameters),
                              entry.method.ReturnType.Name);
            if (entry.import.CallingConvention != CallingConvention.Cdecl || entry.import.CharSet != CharSet.Ansi)
                Console.WriteLine("{0}: not cdecl and ANSI", entry.method.Name);
        }
        return 0;
    }
}
