// The page's converter: the library compiled to WebAssembly (kestrun.js and
// kestrun.wasm), run off the page's thread so that it stays responsive.
//
// In:  {id, name, bytes (ArrayBuffer), options}
// Out: {id, progress, line} while converting; then {id, result} or
//      {id, failure} if the converter itself broke.
/* global createKestrun */
importScripts('kestrun.js');

const ready = createKestrun();

self.onmessage = async (event) => {
  const { id, name, bytes, options } = event.data;
  let converter;
  try {
    converter = await ready;
  } catch (error) {
    self.postMessage({ id, failure: `The converter did not load: ${error}` });
    return;
  }
  const outputName = name.replace(/\.[^./\\]*$/, '') + '.ma';
  let lastShown = -1;
  try {
    const result = converter.convert(new Uint8Array(bytes), { ...options, inputName: name, outputName },
      (fraction, line) => {
        if (line) {
          self.postMessage({ id, line });
        } else if (fraction !== null && fraction !== undefined && fraction - lastShown >= 0.01) {
          lastShown = fraction;
          self.postMessage({ id, progress: fraction });
        }
      });
    self.postMessage({ id, result: { ...result, outputName } }, [result.output.buffer]);
  } catch (error) {
    self.postMessage({ id, failure: `The converter stopped: ${error}` });
  }
};
