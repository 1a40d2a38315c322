// Korvex.cs: the exports of Korvex.dll for C# hosts, as P/Invoke declarations.
//
// Every export is cdecl (CallingConvention.Cdecl below; the default, StdCall,
// would unbalance the stack in a 32-bit process). A question is: push the
// inputs (SetData for an integer, SetFile for a text; slot 0 is the value
// pushed last), call the query, read the answer with GetData (the result
// slot) or GetFile (the text result). docs/reference.md has the whole protocol.
//
//     Korvex.Module.SetData(0);
//     Korvex.Module.GetHddInfo();
//     int error = Korvex.Module.GetData();
//     string serial = Korvex.Module.FileText();
//
// Text results are IntPtr, never string: the marshaller frees a returned
// string with CoTaskMemFree, and these pointers are the module's own buffer.
// Read them with Text() (Marshal.PtrToStringAnsi) or FileText(), which copy
// the characters; the pointer stays valid only until the next export that
// writes the text result. Texts going in are marshalled as ANSI strings of
// the system's code page and copied by the module. Window handles are
// IntPtr (a Form's Handle), pointer-sized in both DLLs.
//
// Which DLL: a 32-bit process loads only the 32-bit Korvex.dll (win32/), a
// 64-bit one only the 64-bit DLL (win64/). An AnyCPU program runs as either,
// depending on the system and its "prefer 32-bit" setting: ship both and call
// LoadForThisProcess before the first export, which loads the one matching
// Environment.Is64BitProcess, so that every declaration below binds to it.
// A program built for x86 or x64 alone can simply ship that one beside it.
using System;
using System.IO;
using System.Runtime.InteropServices;

namespace Korvex
{
    public static class Module
    {
        public const string Dll = "Korvex.dll";
        private const CallingConvention Cdecl = CallingConvention.Cdecl;
        private const CharSet Ansi = CharSet.Ansi;

        // Value exchange.
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void SetData(int value);  // pushes an integer; slot 0 := value
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern int GetData();  // the result slot
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void SetFile(string text);  // pushes a copy of the text (null: empty); "Quex" opens a modal box
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern IntPtr GetFile();  // the text result; never null, valid until the next text answer
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern IntPtr GetInfo();  // "Korvex v1.0", CR LF, two contact lines
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern IntPtr Copyright();  // the copyright notice, one line

        // The host's window, path, drawing area, events; the system's error text.
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void SetParentWindow(IntPtr window);  // pass a window handle (Form.Handle); hooks the window until WM_DESTROY
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void SetPath(string path);  // kept, never read
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void Draw(int unused, int x, int y, int width, int height);  // kept
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void RenameEvent();  // push "ID_OnEnum", then the new name
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetErrorMessage();  // text := the system's text of this thread's last error

        // Drives: ListDrives, then push an index and SelectDrive, then the getters.
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void ListDrives();  // result := number of drives listed; selects none
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void SelectDrive();  // slot 0: index from 0; out of range selects none
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void SetAlign();  // push decimals (0..5) first, then mode (-1 auto, 0 B, 1 KB, 2 MB, 3 GB)
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetDriveLetter();  // text := "C" (selected drive only, like every drive getter)
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetDriveFileSystem();  // text := "NTFS", ...
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetVolumeLabel();  // text := the label, empty for none
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetVolumeSerial();  // text := the serial in signed decimal; see SerialText
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetDriveType();  // text := "DRIVE_FIXED", ...
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetTotalSpace();  // text := the size, such as "74.53 GB"
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetFreeSpace();  // text := free space for the caller
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetUsedSpace();  // text := total minus free
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetUsedPercent();  // text := whole percentage, "75"
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetFreePercent();  // text := whole percentage, "25"

        // Disks: push a disk number and GetHddInfo, then the GetHdd getters.
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddInfo();  // slot 0: disk number; text := serial, result := error code
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddGenConfig();  // result := word 0
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddNumCyls();  // result := word 1, cylinders
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddNumHeads();  // result := word 3, heads
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddBytesPerTrack();  // result := word 4
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddBytesPerSector();  // result := word 5
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddSectorsPerTrack();  // result := word 6
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddVendorUnique();  // text := empty, always
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddPhysicalSerial();  // text := the serial number, words 10-19
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddBufferType();  // text := word 20 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddBufferSize();  // text := word 21 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddECCSize();  // text := word 22 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddFirmwareRev();  // text := the firmware revision, words 23-26
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddModelNumber();  // text := the model, words 27-46
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddMoreVendorUnique();  // text := word 47 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddCapabilities();  // text := word 49 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddPIOTiming();  // text := word 51 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddDMATiming();  // text := word 52 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddBS();  // text := word 53 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddNumCurrentCyls();  // text := word 54 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddNumCurrentHeads();  // text := word 55 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddNumCurrentSectorsPerTrack();  // text := word 56 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddCurrentSectorCapacity();  // text := words 57-58, signed decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddMultSectorStuff();  // text := word 59 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddTotalAddressableSectors();  // text := words 60-61, signed decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddSingleWordDMA();  // text := word 62 in decimal
        [DllImport(Dll, CallingConvention = Cdecl, CharSet = Ansi, ExactSpelling = true)]
        public static extern void GetHddMultiWordDMA();  // text := word 63 in decimal

        // A text result as a string: the characters copied out of the module.
        public static string Text(IntPtr text)
        {
            return Marshal.PtrToStringAnsi(text);
        }

        // The text result (GetFile) as a string.
        public static string FileText()
        {
            return Text(GetFile());
        }

        // GetVolumeSerial's signed decimal text ("-1531723055") in the form
        // Windows shows a volume serial ("A4B3-C2D1"); null when it is not one.
        public static string SerialText(string decimalText)
        {
            int value;
            if (!int.TryParse(decimalText, System.Globalization.NumberStyles.AllowLeadingSign,
                              System.Globalization.CultureInfo.InvariantCulture, out value))
                return null;
            string hex = ((uint)value).ToString("X8", System.Globalization.CultureInfo.InvariantCulture);
            return hex.Substring(0, 4) + "-" + hex.Substring(4);
        }

        // Loads folder\win32\Korvex.dll in a 32-bit process, folder\win64\Korvex.dll
        // in a 64-bit one (the package's layout). The declarations above then
        // bind to the module already loaded. Throws when it cannot be loaded.
        public static void LoadForThisProcess(string folder)
        {
            string path = Path.Combine(Path.Combine(folder, Environment.Is64BitProcess ? "win64" : "win32"), Dll);
            if (LoadLibraryW(path) == IntPtr.Zero)
                throw new DllNotFoundException(path + ": error " + Marshal.GetLastWin32Error());
        }

        [DllImport("kernel32.dll", CharSet = CharSet.Unicode, ExactSpelling = true, SetLastError = true)]
        private static extern IntPtr LoadLibraryW(string path);
    }
}
