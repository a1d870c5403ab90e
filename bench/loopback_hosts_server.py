#!/usr/bin/python3
"""The benchmark's web server on 127.0.0.1 ... 127.0.0.N (all loopback on Linux), one port.

Usage: loopback_hosts_server.py HOSTS
Prints one JSON line with the port, then serves until its standard input closes. Every answer
comes after 20 ms; /bench/K answers by K % 20: 0-15 200, 16-17 404, 18 301 to /bench-target,
19 405 to HEAD and 200 to GET. One event loop, no thread per request, so the server is not
what the measurement measures.
"""
import asyncio
import json
import socket
import sys


async def handle(reader, writer):
    try:
        head = await reader.readuntil(b"\r\n\r\n")
        method, path, _ = head.decode("latin-1").split(" ", 2)
        await asyncio.sleep(0.02)
        status, extra = 404, ""
        if path.startswith("/bench/"):
            n = int(path.rsplit("/", 1)[1]) % 20
            if n < 16:
                status = 200
            elif n < 18:
                status = 404
            elif n == 18:
                status, extra = 301, "Location: /bench-target\r\n"
            else:
                status = 405 if method == "HEAD" else 200
        elif path == "/bench-target":
            status = 200
        writer.write(f"HTTP/1.0 {status} X\r\n{extra}Content-Length: 0\r\n\r\n".encode())
        await writer.drain()
    except (ValueError, ConnectionError, asyncio.IncompleteReadError, asyncio.LimitOverrunError):
        pass
    finally:
        writer.close()


async def main():
    hosts = int(sys.argv[1]) if len(sys.argv) > 1 else 64
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    servers = [await asyncio.start_server(handle, f"127.0.0.{i}", port, backlog=1024, reuse_address=True)
               for i in range(1, hosts + 1)]
    print(json.dumps({"port": port}), flush=True)
    await asyncio.get_running_loop().run_in_executor(None, sys.stdin.read)
    for s in servers:
        s.close()


if __name__ == "__main__":
    asyncio.run(main())
