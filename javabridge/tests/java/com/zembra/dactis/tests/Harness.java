package com.zembra.dactis.tests;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.Arrays;
import java.util.Objects;
import java.util.Set;
import java.util.TreeSet;

/**
 * A small runner for the Java tests: each test case is a public static method without
 * parameters of a test class, run in a virtual machine of its own by CTest.
 *
 * <pre>
 *   java ... SomeTests caseName          runs one case; exit 0 when it passed
 *   java ... SomeTests --registered a b  checks that the class's cases are exactly a, b
 * </pre>
 */
final class Harness {
    interface Body {
        void run() throws Exception;
    }

    private Harness() {
    }

    static void check(boolean condition, String what) {
        if (!condition) {
            throw new AssertionError(what);
        }
    }

    static void equal(long expected, long actual, String what) {
        if (expected != actual) {
            throw new AssertionError(what + ": expected " + expected + " (0x" + Long.toHexString(expected)
                    + "), got " + actual + " (0x" + Long.toHexString(actual) + ")");
        }
    }

    static void equal(Object expected, Object actual, String what) {
        if (!Objects.equals(expected, actual)) {
            throw new AssertionError(what + ": expected " + expected + ", got " + actual);
        }
    }

    static <T extends Throwable> T expectThrows(Class<T> type, Body body, String what) {
        try {
            body.run();
        } catch (Throwable thrown) {
            if (type.isInstance(thrown)) {
                return type.cast(thrown);
            }
            throw new AssertionError(what + ": expected " + type.getSimpleName() + ", got " + thrown, thrown);
        }
        throw new AssertionError(what + ": expected " + type.getSimpleName() + ", nothing was thrown");
    }

    private static Set<String> cases(Class<?> tests) {
        Set<String> names = new TreeSet<>();
        for (Method method : tests.getDeclaredMethods()) {
            int modifiers = method.getModifiers();
            if (Modifier.isPublic(modifiers) && Modifier.isStatic(modifiers) && method.getParameterCount() == 0
                    && method.getReturnType() == void.class) {
                names.add(method.getName());
            }
        }
        return names;
    }

    /** The main method of every test class. */
    static void run(Class<?> tests, String[] args) {
        int status;
        try {
            status = runCase(tests, args);
        } catch (Throwable failure) {
            failure.printStackTrace(System.out);
            status = 1;
        }
        System.out.flush();
        // Ends the virtual machine even while a collector thread waits in getCallBacks.
        System.exit(status);
    }

    private static int runCase(Class<?> tests, String[] args) throws Throwable {
        Set<String> declared = cases(tests);
        if (args.length >= 1 && args[0].equals("--registered")) {
            Set<String> registered = new TreeSet<>(Arrays.asList(args).subList(1, args.length));
            if (!registered.equals(declared)) {
                System.out.println("cases of " + tests.getSimpleName() + ": " + declared + "; registered with CTest: "
                        + registered);
                return 1;
            }
            return 0;
        }
        if (args.length != 1 || !declared.contains(args[0])) {
            System.out.println("usage: " + tests.getSimpleName() + " CASE, one of " + declared);
            return 2;
        }
        try {
            tests.getMethod(args[0]).invoke(null);
        } catch (InvocationTargetException failure) {
            throw failure.getCause();
        }
        System.out.println(tests.getSimpleName() + "." + args[0] + ": passed");
        return 0;
    }
}
