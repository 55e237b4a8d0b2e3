#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# A slow link on this machine: accepts on 127.0.0.1:LISTEN and relays each connection to
# 127.0.0.1:TARGET, holding every chunk DELAY milliseconds in each direction, in order.
# usage: delay_relay.py LISTEN TARGET DELAY_MS
import asyncio
import sys

listen, target, delay = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]) / 1000


async def pipe(reader, writer):
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def send():
        while (item := await queue.get()) is not None:
            due, data = item
            await asyncio.sleep(max(0, due - loop.time()))
            writer.write(data)
            await writer.drain()
        writer.close()

    sender = asyncio.create_task(send())
    while data := await reader.read(65536):
        queue.put_nowait((loop.time() + delay, data))
    queue.put_nowait(None)
    await sender


async def relay(client_reader, client_writer):
    server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target)
    await asyncio.gather(pipe(client_reader, server_writer), pipe(server_reader, client_writer),
                         return_exceptions=True)


async def main():
    server = await asyncio.start_server(relay, "127.0.0.1", listen)
    print("ready", flush=True)
    async with server:
        await server.serve_forever()

asyncio.run(main())
